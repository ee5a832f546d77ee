#pragma once
// The keyboard state the line editor shares between all fields: the Insert toggle. It starts
// off (overwrite), as a keyboard's own toggle does, and lives for the whole run.

namespace duv {

class KeyboardState {
 public:
  bool InsertMode() const { return insert_; }
  void SetInsertMode(bool on) { insert_ = on; }

 private:
  bool insert_ = false;
};

}  // namespace duv
