#include "app/title_form.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "import/file_bytes.h"

namespace kelvaris {

std::string DefaultSettingsPath(const std::string& programFolder) {
  if (!programFolder.empty() && access(programFolder.c_str(), W_OK) == 0)
    return programFolder + kSettingsFileName;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home) base = std::string(home) + "/.config";
  if (base.empty()) return programFolder + kSettingsFileName;
  std::error_code ec;
  std::filesystem::create_directories(base + "/Kelvaris", ec);
  return base + "/Kelvaris/" + kSettingsFileName;
}

TTitleForm::TTitleForm(WindowSystem& ws, std::string settingsPath)
    : ws_(ws), settingsPath_(std::move(settingsPath)) {
  Form.SetCaption("Kelvaris2");
  Form.SetWidth(320);
  Form.SetHeight(240);
  InitialFolder = ws.ProgramFolder();
  if (!settingsPath_.empty()) {
    FileBytes file = ReadFileBytes(settingsPath_);
    if (file.opened) Recent = ParseSettings(file.bytes);
  }
  if (!Recent.folders.empty()) InitialFolder = Recent.folders.front();
  SplashTimer = ws.CreateTimer();
  SplashTimer->OnTimer = [this] { SplashTimerTimer(); };
  SplashTimer->SetInterval(3000);
  SplashTimer->Start();
}

TTitleForm::~TTitleForm() {
  if (settingsPath_.empty()) return;
  std::FILE* f = std::fopen(settingsPath_.c_str(), "w");
  if (!f) return;  // an unwritable settings file is silently skipped
  const std::string text = FormatSettings(Recent);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

void TTitleForm::SplashTimerTimer() {
  if (mainWindow_ && mainWindow_->Visible()) {
    SplashTimer->Stop();
    Form.SetVisible(false);
    return;
  }
  if (mainWindow_) mainWindow_->SetVisible(true);
  SplashTimer->SetInterval(500);
  SplashTimer->Start();
}

void TTitleForm::FillRecentMenu(Menu& menu) const {
  for (const auto& folder : Recent.folders) menu.Add(Menu::Item{folder, kFolderTag, true, false, ""});
  menu.Add(Menu::Item{"-", kSeparatorTag, true, false, ""});
  for (const auto& file : Recent.files) menu.Add(Menu::Item{file, kFileTag, true, false, ""});
}

}  // namespace kelvaris
