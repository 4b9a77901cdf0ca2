// The splash window, and the owner of the recent folders and files: it reads
// the settings file when it is created and writes it when it is destroyed at
// the end of the program.
#pragma once

#include <memory>
#include <string>

#include "app/recent_lists.h"
#include "platform/controls.h"
#include "platform/window_system.h"

namespace kelvaris {

constexpr const char* kSettingsFileName = "Kelvaris2.ini";

// Where the settings file lives: next to the program when that folder is
// writable, otherwise in the user's configuration folder.
std::string DefaultSettingsPath(const std::string& programFolder);

class TTitleForm {
 public:
  // An empty settings path keeps the lists in memory only.
  TTitleForm(WindowSystem& ws, std::string settingsPath);
  ~TTitleForm();
  TTitleForm(const TTitleForm&) = delete;
  TTitleForm& operator=(const TTitleForm&) = delete;

  Panel Form{"TitleForm"};  // 320 x 240, navy, always on top, visible from creation
  RecentLists Recent;
  std::string InitialFolder;
  std::unique_ptr<Timer> SplashTimer;

  // The main window, whose visibility the splash timer follows.
  void SetMainWindow(Control* mainWindow) { mainWindow_ = mainWindow; }
  void SplashTimerTimer();

  void AddRecent(const std::string& path) { Recent.AddRecent(path); }
  // Appends folder items, a separator and file items to the menu.
  void FillRecentMenu(Menu& menu) const;
  static constexpr int kFolderTag = 1;
  static constexpr int kSeparatorTag = 0;
  static constexpr int kFileTag = 2;

  const std::string& SettingsPath() const { return settingsPath_; }

 private:
  WindowSystem& ws_;
  std::string settingsPath_;
  Control* mainWindow_ = nullptr;
};

}  // namespace kelvaris
