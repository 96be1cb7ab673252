#pragma once
#include "platform/facilities.h"

namespace tonvirke {

// Text files on the local file system: UTF-8, an advisory exclusive lock while open.
// A created file replaces the old one only once it is completely written (rename), so a failed
// write never leaves a half-written file behind.
class LocalTextFiles final : public TextFiles {
 public:
  std::unique_ptr<TextFile> OpenRead(const QString& name) override;
  std::unique_ptr<TextFile> Create(const QString& name) override;
  std::unique_ptr<TextFile> OpenAppend(const QString& name) override;
};

}  // namespace tonvirke
