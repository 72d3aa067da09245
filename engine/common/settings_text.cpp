#include "engine/common/settings_text.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace orvane {

Status RefuseDoubleQuotes(std::span<const NamedText> texts) {
  for (const NamedText& t : texts) {
    if (t.text->find('"') != std::string::npos) {
      return Status::Refused(std::string("The ") + t.name +
                             " contains a double quote character (\"), "
                             "which a settings file cannot store.  The "
                             "settings were not saved.");
    }
  }
  return Status::Ok();
}

Status WriteSettingsText(const std::string& path, std::string_view text) {
  const std::string partial = path + ".part";
  auto failed = [&](int error) {
    std::remove(partial.c_str());
    return Status::Failed("Error when attempting to save settings: " +
                          std::generic_category().message(error));
  };
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file) return failed(errno);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) return failed(errno ? errno : EIO);
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) return failed(errno);
  return Status::Ok();
}

}  // namespace orvane
