// Bringing a data file into service: registration, the name completed with its extension, the
// open (waiting while another user holds the file, creating it from its dictionary when it
// does not exist), the priming of the slot, and the message that ends the program when the
// file cannot be opened.

#include <algorithm>
#include <array>
#include <cstring>

#include "data/DataFiles.h"
#include "platform/Files.h"

namespace duv {

namespace {

constexpr int kFileInUsePauseMs = 3000;

// The record manager's access name for the module's files: four digits and a zero byte.
std::array<char, 5> OwnerName() {
  constexpr int kOwnerNumber = 4719;
  std::array<char, 5> name{};
  int value = kOwnerNumber;
  for (int i = 3; i >= 0; --i) {
    name[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return name;
}

}  // namespace

DataFileName SplitDataFileName(const std::string& name) {
  DataFileName split{"", name, ".dat"};
  std::size_t end = name.size();
  for (std::size_t i = name.size(); i-- > 0;) {
    const char c = name[i];
    if (c == ':' || c == '\\' || c == '/') {
      split.directory = name.substr(0, i + 1);
      split.base = name.substr(i + 1, end - (i + 1));
      break;
    }
    if (c == '.') {
      split.base = name.substr(0, i);
      split.extension = name.substr(i);
      end = i;
    }
  }
  return split;
}

std::optional<std::string> DictionaryDefinition(const std::string& dictionary) {
  if (dictionary.size() < 2) return std::nullopt;
  const std::size_t length =
      static_cast<unsigned char>(dictionary[0]) | (static_cast<unsigned char>(dictionary[1]) << 8);
  if (dictionary.size() < 2 + length || length > kDataBufferSize) return std::nullopt;
  return dictionary.substr(2, length);
}

std::string LockWaitMessage(const std::string& languageCode) {
  if (languageCode == "SPA") return "FICHERO BLOQUEADO. ESPERE UN MOMENTO.";
  if (languageCode == "GLG") return "FICHEIRO BLOQUEADO. ESPERE UM MOMENTO.";
  if (languageCode == "OCI") return "FICH\xD4R BLOQUEJAT. ESPERATZ UN MOMENT.";  // È in code page 850
  return "FITXER BLOQUEJAT. ESPEREU UN MOMENT.";
}

std::string OpenFailureText(const std::string& languageCode) {
  if (languageCode == "SPA") return "NO SE PUEDE ACCEDER AL FICHERO ";
  if (languageCode == "GLG") return "NOM SE PODE ACEDER AO FICHEIRO ";
  if (languageCode == "OCI") return "NON SE P\xE3T ACCEDIR ATH FICH\xD4R ";  // Ò and È in code page 850
  return "NO ES POT ACCEDIR AL FITXER ";
}

void DataFiles::OpenDataFile(std::int16_t fileNumber, const std::string& name, std::string& recordBuffer,
                             std::int16_t& status) {
  const std::int16_t found = FindFileSlot(fileNumber);
  if (found > 0 || fileNumber == 0) {
    status = datastatus::kAlreadyOpen;
    return;
  }
  if (found == 0) {
    status = datastatus::kNoFreeSlot;
    return;
  }
  FileSlot& slot = slots_[static_cast<std::size_t>(-found)];
  slot = FileSlot{};
  slot.fileNumber = fileNumber;
  slot.recordBuffer = &recordBuffer;

  status = OpenOrCreate(slot, SplitDataFileName(name));
  if (status == 0) {
    std::int16_t keyLength = 0, recordLength = 0;
    ReadKeyLayout(fileNumber, 0, keyLength, recordLength);
    slot.keyValue.assign(static_cast<std::size_t>(std::max<std::int16_t>(keyLength, 0)), '\0');
    slot.recordLength = recordLength;
    if (recordBuffer.size() < static_cast<std::size_t>(std::max<std::int16_t>(recordLength, 0))) {
      recordBuffer.resize(static_cast<std::size_t>(recordLength), ' ');
    }
    return;
  }
  ReportOpenFailure(name, status);
}

std::int16_t DataFiles::OpenOrCreate(FileSlot& slot, const DataFileName& name) {
  const std::string path = name.Path();
  // The path travels zero-terminated in the 256-byte key buffer.
  if (path.size() >= kKeyBufferSize) return recman::status::kInvalidFileName;
  std::array<std::uint8_t, kKeyBufferSize> key{};
  std::memcpy(key.data(), path.data(), path.size());
  const auto keyLength = static_cast<std::uint8_t>(path.size());

  while (true) {
    std::array<std::uint8_t, kDataBufferSize> data;
    data.fill(' ');
    const std::array<char, 5> owner = OwnerName();
    std::memcpy(data.data(), owner.data(), owner.size());
    std::uint32_t dataLength = owner.size();
    const std::int16_t status =
        manager_.BTRCALL(recman::op::kOpen, slot.positionBlock.data(), data.data(), dataLength, key.data(), keyLength, 0);
    if (status == recman::status::kFileInUse) {
      Pause(kFileInUsePauseMs);
      continue;
    }
    if (status != recman::status::kFileNotFound) return status;

    // Not there yet: create it from its dictionary, a 16-bit length and that many bytes of
    // Create definition. A dictionary that is missing or cut short creates nothing.
    const std::optional<std::string> dictionary =
        ReadFileBytes(settings_.rootDir + "ddf\\" + name.base + ".xdf");
    if (!dictionary) return recman::status::kFileNotFound;
    const std::optional<std::string> definition = DictionaryDefinition(*dictionary);
    if (!definition) return recman::status::kCreateFailed;
    data.fill(' ');
    std::memcpy(data.data(), definition->data(), definition->size());
    dataLength = kDataBufferSize;
    const std::int16_t created =
        manager_.BTRCALL(recman::op::kCreate, slot.positionBlock.data(), data.data(), dataLength, key.data(), keyLength, -1);
    if (created != 0) return created;
  }
}

void DataFiles::ReportOpenFailure(const std::string& name, std::int16_t status) {
  std::string message = OpenFailureText(settings_.languageCode) + name + " (" + std::to_string(status) + ")";
  windows_.ShowMessage(12, message);
  keyboard_.Device().Beep();
  keyboard_.DiscardWaitingKeys();
  keyboard_.WaitRawKey();
  windows_.PopWindow();
  // The failure status stays the caller's: the close-all reports into a status of its own.
  std::int16_t closed = 0;
  CloseAllDataFiles(closed);
  if (hooks_.endProgram) hooks_.endProgram();
}

}  // namespace duv
