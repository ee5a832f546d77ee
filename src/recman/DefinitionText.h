#pragma once
// A data file definition written as text, so that dictionaries can be kept readable and files
// described. One statement a line; "#" starts a comment:
//
//   record 51                 record length
//   page 1024                 page size (kept, not used)
//   key duplicates            a key; flags: duplicates, modifiable
//     segment 1 2 string      position from 1, length, type, then any of:
//                             descending, nocase, collating
//   collating NAME HEX        the alternate collating sequence: a name of up to 8
//                             characters and 512 hexadecimal digits, which may go on over
//                             lines of their own
//
// Types: string, zstring, binary (unsigned, little-endian), integer (signed, little-endian).

#include <optional>
#include <string>

#include "recman/FileDefinition.h"

namespace duv::recman {

// The definition, or nothing with `error` naming the line and what is wrong with it.
std::optional<FileDefinition> ParseDefinitionText(const std::string& text, std::string& error);

// The text form of a definition; ParseDefinitionText reads it back to the same definition.
std::string DefinitionToText(const FileDefinition& definition);

// A short name for a record manager status ("file not found"), or empty when it has none.
std::string StatusName(std::int16_t status);

}  // namespace duv::recman
