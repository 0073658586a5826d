// The installer's install and uninstall against Wine's real file system and
// registry, with its message boxes answered from a watcher thread as a user
// would. Every test removes the keys it wrote: the plug-in's tests read them.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "installer/plugin_registration.h"
#include "installer/setup_win.h"
#include "platform/wide_text_win.h"
#include "viewer/registry_store_win.h"
#include "viewer/settings.h"

namespace {

struct Answer {
  const wchar_t* caption;
  int button;                    // IDYES, IDRETRY, ...
  std::function<void()> before;  // runs while the box is open, before it is answered
};

struct SeenBox {
  std::wstring caption;
  std::wstring text;
};

// Answers the boxes of this process in the order given, recording each.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<Answer> answers) : answers_(std::move(answers)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~BoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  std::vector<SeenBox> seen;

 private:
  struct Search {
    const wchar_t* caption;
    HWND found;
  };
  static BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t caption[256] = {};
    GetWindowTextW(window, caption, 256);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        lstrcmpW(caption, search->caption) == 0) {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }
  void Run() {
    for (size_t next = 0; next < answers_.size() && !stop_;) {
      Search search = {answers_[next].caption, nullptr};
      EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
      if (!search.found) {
        Sleep(20);
        continue;
      }
      wchar_t text[2048] = {};
      GetDlgItemTextW(search.found, 0xFFFF, text, 2048);
      seen.push_back({answers_[next].caption, text});
      if (answers_[next].before) answers_[next].before();
      // Posted, not sent: a cross-thread send that ends a modal loop can hang.
      PostMessageW(search.found, WM_COMMAND, answers_[next].button, 0);
      ++next;
      Sleep(100);  // the box goes away before the next one is looked for
    }
  }
  std::vector<Answer> answers_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

std::wstring Wide(const std::u16string& text) { return AsWide(text); }

int KeyExists(HKEY root, const std::u16string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, AsWide(path), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  RegCloseKey(key);
  return 1;
}

int Exists(const std::u16string& path) { return GetFileAttributesW(AsWide(path)) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::u16string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(AsWide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadFile(const std::u16string& path) {
  HANDLE file = CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[4096];
  DWORD got = 0;
  ::ReadFile(file, buffer, sizeof buffer, &got, nullptr);
  CloseHandle(file);
  return std::string(buffer, got);
}

std::u16string RegisteredPath() {
  wchar_t path[MAX_PATH] = {};
  DWORD size = sizeof path;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, AsWide(RegistrationKeyPath()), L"Path", RRF_RT_REG_SZ, nullptr, path,
                   &size) != ERROR_SUCCESS) {
    return u"<none>";
  }
  return FromWide(path);
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = FromWide(temp) + u"mrvinstall-test-" + Utf16Number(GetCurrentProcessId());
    CreateDirectoryW(AsWide(root_), nullptr);
    setup_.sourceFolder = root_ + u"\\dist";
    CreateDirectoryW(AsWide(setup_.sourceFolder), nullptr);
    WriteFile(setup_.sourceFolder + u"\\npmrv64.dll", library_);
    setup_.options.showResult = 0;
    RemoveKeys();
  }
  void TearDown() override {
    RemoveKeys();
    RemoveTree(root_);
  }
  static std::u16string Utf16Number(unsigned long value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
  }
  static void RemoveKeys() {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, RegistrationKeyPath());
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kMainKeyPath);
    DeleteKeyTree(HKEY_CURRENT_USER, kMainKeyPath);
    DeleteKeyTree(HKEY_CURRENT_USER, kLowIntegrityKeyPath);
  }
  static void RemoveTree(const std::u16string& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(AsWide(folder + u"\\*"), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::u16string name = FromWide(found.cFileName);
        if (name == u"." || name == u"..") continue;
        std::u16string path = folder + u"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path);
        } else {
          DeleteFileW(AsWide(path));
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(AsWide(folder));
  }

  std::string library_ = std::string("MZ plug-in library stand-in\0\x01\x02", 31);
  SetupContext setup_;
  std::u16string root_;
};

TEST_F(InstallerTest, InstallsIntoNewFoldersAndRegisters) {
  const std::u16string folder = root_ + u"\\deep\\KOB\\Mervane";
  setup_.options.access = 8;
  ASSERT_TRUE(InstallPlugin(setup_, folder + u"\\"));  // one trailing separator is dropped
  EXPECT_EQ(ReadFile(folder + u"\\npmrv64.dll"), library_);
  EXPECT_EQ(RegisteredPath(), folder + u"\\npmrv64.dll");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, RegistrationKeyPath() + u"\\Suffixes\\tiff"));
  DWORD access = 0, size = sizeof access;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, AsWide(kMainKeyPath), L"access", RRF_RT_REG_DWORD, nullptr,
                         &access, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(access, 8u);
}

TEST_F(InstallerTest, CopyFailureOffersRetryThatSucceedsOnceUnlocked) {
  const std::u16string folder = root_ + u"\\Mervane";
  CreateDirectoryW(AsWide(folder), nullptr);
  const std::u16string target = folder + u"\\npmrv64.dll";
  WriteFile(target, "old");
  // Open without sharing, as a running browser holds the library.
  HANDLE lock = CreateFileW(AsWide(target), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  setup_.options.showResult = 2;
  int installed = 0;
  {
    BoxAnswerer answers({{L"Mervane Install", IDRETRY, nullptr},
                         {L"Mervane Install", IDRETRY, [&] { CloseHandle(lock); }},
                         {L"Mervane Installation", IDOK, nullptr}});
    installed = InstallPlugin(setup_, folder);
    Sleep(300);
    ASSERT_EQ(answers.seen.size(), 3u);
    const std::wstring copyText =
        L"Installation to " + Wide(folder) + L" failed!\n(Failed to copy npmrv64.dll from current folder [" +
        Wide(setup_.sourceFolder) + L"] to " + Wide(target) + L"; error code 32)\n\nIf your web " +
        L"browser is running, please close it and press Retry.";
    EXPECT_EQ(answers.seen[0].text, copyText);
    EXPECT_EQ(answers.seen[2].text,
              L"Plug-in installed successfully.\r\n\r\nIf your web browser is currently running, you may "
              L"need to restart it.");
  }
  EXPECT_TRUE(installed);
  EXPECT_EQ(ReadFile(target), library_);
  EXPECT_EQ(RegisteredPath(), target);
}

TEST_F(InstallerTest, CancelledCopyLeavesNoRegistrationAndNoInstallMark) {
  const std::u16string folder = root_ + u"\\Mervane";
  CreateDirectoryW(AsWide(folder), nullptr);
  const std::u16string target = folder + u"\\npmrv64.dll";
  WriteFile(target, "old");
  HANDLE lock = CreateFileW(AsWide(target), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  setup_.options.showResult = 1;
  {
    BoxAnswerer answers({{L"Mervane Install", IDCANCEL, nullptr}, {L"Mervane Installation", IDOK, nullptr}});
    EXPECT_FALSE(InstallPlugin(setup_, folder));
    Sleep(300);
    ASSERT_EQ(answers.seen.size(), 2u);
    EXPECT_EQ(answers.seen[1].text, L"Plug-in installation failed!");
  }
  CloseHandle(lock);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, RegistrationKeyPath()));
  // "/cond" would take this key for an installation.
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMainKeyPath));
}

TEST_F(InstallerTest, SilentCopyFailureAsksNothing) {
  setup_.options.showErrors = 0;
  DeleteFileW(AsWide(setup_.sourceFolder + u"\\npmrv64.dll"));
  EXPECT_FALSE(InstallPlugin(setup_, root_ + u"\\Mervane"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, RegistrationKeyPath()));
}

TEST_F(InstallerTest, FoldersThatCannotBeMade) {
  struct Case {
    std::u16string folder;
  };
  const Case cases[] = {
      {u"Q:\\no such drive\\Mervane"},
      {root_ + u"\\" + std::u16string(300, u'x')},
  };
  for (const Case& c : cases) {
    BoxAnswerer answers({{L"Mervane Install", IDOK, nullptr}});
    EXPECT_FALSE(InstallPlugin(setup_, c.folder));
    Sleep(300);
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].text,
              L"Installation to " + Wide(c.folder) + L" failed!\n(Failed to create folder)");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, RegistrationKeyPath()));
  }
}

TEST_F(InstallerTest, EmptyFolderEndsQuietly) {
  EXPECT_FALSE(InstallPlugin(setup_, u"\\"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMainKeyPath));
}

struct UninstallCase {
  const char16_t* folder;  // below the test's root
  const char16_t* extra;   // a file left in the parent, or empty
  int folderGone;
  int parentGone;
};

TEST_F(InstallerTest, UninstallRemovesOnlyOurEmptyFolders) {
  const UninstallCase cases[] = {
      {u"KOB\\Mervane", u"", 1, 1},
      {u"kob\\MERVANE", u"", 1, 1},
      {u"KOB\\Mervane", u"other.txt", 1, 0},  // the KOB folder holds someone else's file
      {u"Plugins", u"", 0, 0},                // a folder not named so stays
      {u"Vendor\\Mervane", u"", 1, 0},
  };
  for (const UninstallCase& c : cases) {
    const std::u16string folder = root_ + u"\\" + c.folder;
    const std::u16string parent = folder.substr(0, folder.find_last_of(u'\\'));
    ASSERT_TRUE(InstallPlugin(setup_, folder));
    if (c.extra[0]) WriteFile(parent + u"\\" + c.extra, "keep");
    BoxAnswerer answers({{L"Uninstall", IDYES, nullptr},
                         {L"Uninstall", IDYES, nullptr},
                         {L"Mervane Uninstall", IDOK, nullptr}});
    EXPECT_TRUE(UninstallPlugin(setup_));
    Sleep(300);
    ASSERT_EQ(answers.seen.size(), 3u);
    EXPECT_EQ(answers.seen[0].text,
              L"This will remove the 64-bit Mervane plug-in from your computer.\n\nPlease shut down all "
              L"running web "
              L"browsers.\n\nDo you wish to continue?");
    EXPECT_EQ(answers.seen[2].text, L"Uninstall complete.");
    EXPECT_FALSE(Exists(folder + u"\\npmrv64.dll"));
    EXPECT_EQ(!Exists(folder), c.folderGone) << Wide(folder).c_str();
    EXPECT_EQ(!Exists(parent), c.parentGone) << Wide(parent).c_str();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, RegistrationKeyPath()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMainKeyPath));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMainKeyPath));
    if (c.extra[0]) DeleteFileW(AsWide(parent + u"\\" + c.extra));
    RemoveTree(root_ + u"\\" + std::u16string(c.folder).substr(0, std::u16string(c.folder).find(u'\\')));
  }
}

TEST_F(InstallerTest, UninstallKeepingSettingsAndALockedLibrary) {
  const std::u16string folder = root_ + u"\\KOB\\Mervane";
  setup_.options.access = 4;
  ASSERT_TRUE(InstallPlugin(setup_, folder));
  HANDLE lock =
      CreateFileW(AsWide(folder + u"\\npmrv64.dll"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  {
    BoxAnswerer answers({{L"Uninstall", IDYES, nullptr},
                         {L"Uninstall", IDNO, nullptr},
                         {L"Uninstall", IDCANCEL, nullptr},
                         {L"Mervane Uninstall", IDOK, nullptr}});
    EXPECT_TRUE(UninstallPlugin(setup_));
    Sleep(300);
    ASSERT_EQ(answers.seen.size(), 4u);
    EXPECT_EQ(answers.seen[2].text,
              L"Unable to delete the file " + Wide(folder) +
                  L"\\npmrv64.dll. If your web browser is open, try closing it and pressing Retry.");
  }
  CloseHandle(lock);
  EXPECT_TRUE(Exists(folder + u"\\npmrv64.dll"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, RegistrationKeyPath()));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kMainKeyPath));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kMainKeyPath));
}

TEST_F(InstallerTest, UninstallWithoutInstallation) {
  BoxAnswerer answers(
      {{L"Uninstall", IDYES, nullptr}, {L"Uninstall", IDNO, nullptr}, {L"Mervane Uninstall", IDOK, nullptr}});
  EXPECT_FALSE(UninstallPlugin(setup_));
  Sleep(300);
  ASSERT_EQ(answers.seen.size(), 3u);
  EXPECT_EQ(answers.seen[2].text,
            L"Unable to locate previous installations; cannot uninstall. Consult the documentation for "
            L"instructions on "
            L"manual uninstallation.");
}

TEST_F(InstallerTest, RegisteredPathOfAnotherFileIsNotDeleted) {
  // The registration's Path comes from the registry: a file not named as our
  // library is not ours to delete, but the registration still goes.
  const std::u16string other = root_ + u"\\Mervane\\important.dll";
  CreateDirectoryW(AsWide(root_ + u"\\Mervane"), nullptr);
  WriteFile(other, "someone else's");
  ASSERT_TRUE(WriteRegistration(CreateRegistryStore().get(), other));
  BoxAnswerer answers(
      {{L"Uninstall", IDYES, nullptr}, {L"Uninstall", IDNO, nullptr}, {L"Mervane Uninstall", IDOK, nullptr}});
  EXPECT_TRUE(UninstallPlugin(setup_));
  EXPECT_EQ(ReadFile(other), "someone else's");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, RegistrationKeyPath()));
}

TEST_F(InstallerTest, KeyTreeDeletionRefusesAnEmptyName) {
  EXPECT_FALSE(DeleteKeyTree(HKEY_CURRENT_USER, u""));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\KOB\\Mervane\\a\\b\\c", 0, nullptr, 0, KEY_WRITE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kMainKeyPath));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMainKeyPath));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, u"SOFTWARE"));
}

}  // namespace
