// The release package as a user gets it: unpacked into a fresh folder, the
// program started from there, one run over a small folder, closed.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/control_layout.h"
#include "base/path_text.h"
#include "base/win_owners.h"
#include "tests/support/child_process.h"
#include "tests/support/test_folder.h"
#include "tests/support/zip_writer.h"

namespace quandrel {
namespace {

using namespace quandrel::testing;

// Unpacks an archive with zlibwapi.dll's own unzip functions (the package is deflated).
class Unpacker {
public:
    Unpacker() : library_(LoadLibraryA(JoinPath(BuildOutputFolder(), "zlibwapi.dll").c_str())) {}

    // Writes every file of the archive under `into`; the names it wrote, in GBK.
    std::vector<std::string> Unpack(const std::string& archivePath, const std::string& into) {
        std::vector<std::string> written;
        void* archive = Call<void*(WINAPI*)(const char*)>("unzOpen")(archivePath.c_str());
        EXPECT_NE(archive, nullptr) << archivePath;
        if (!archive) {
            return written;
        }
        for (int status = Call<int(WINAPI*)(void*)>("unzGoToFirstFile")(archive); status == 0;
             status = Call<int(WINAPI*)(void*)>("unzGoToNextFile")(archive)) {
            struct {
                unsigned long fields[14];
                int date[6];
            } info{};
            char name[65536];
            Call<int(WINAPI*)(void*, void*, char*, unsigned long, void*, unsigned long, char*, unsigned long)>(
                "unzGetCurrentFileInfo")(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0);
            std::string fileName = name;
            if (info.fields[2] & 0x800) {
                fileName = Utf8ToGbk(fileName);
            }
            fileName = fileName.substr(fileName.rfind('/') + 1);  // the package's own folder is dropped
            std::string data;
            Call<int(WINAPI*)(void*)>("unzOpenCurrentFile")(archive);
            char buffer[65536];
            for (int read; (read = Call<int(WINAPI*)(void*, void*, unsigned)>("unzReadCurrentFile")(
                                archive, buffer, sizeof buffer)) > 0;) {
                data.append(buffer, static_cast<std::size_t>(read));
            }
            EXPECT_EQ(Call<int(WINAPI*)(void*)>("unzCloseCurrentFile")(archive), 0) << "CRC of " << fileName;
            WriteFileBytes(JoinPath(into, fileName), data);
            written.push_back(fileName);
        }
        Call<int(WINAPI*)(void*)>("unzClose")(archive);
        return written;
    }

private:
    template <typename Fn>
    Fn Call(const char* function) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library_.get(), function)));
    }

    static std::string Utf8ToGbk(const std::string& utf8) {
        std::wstring wide(utf8.size(), L'\0');
        wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                                 wide.data(), static_cast<int>(wide.size()))));
        std::string gbk(wide.size() * 2, '\0');
        gbk.resize(
            static_cast<std::size_t>(WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(),
                                                         static_cast<int>(gbk.size()), nullptr, nullptr)));
        return gbk;
    }

    UniqueModule library_;
};

TEST(ReleasePackage, UnpackedProgramRunsAndKeepsItsSettingsBesideItself) {
    const std::string package = JoinPath(FolderOfPath(BuildOutputFolder()), "quandrel-2.0.zip");
    TestFolder programFolder("quandrel-release");
    std::vector<std::string> files = Unpacker().Unpack(package, programFolder.path());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files, (std::vector<std::string>{"quandrel.exe", "zlibwapi.dll", "使用说明.txt"}));
    const std::optional<std::string> notes = ReadFileBytes(programFolder / "使用说明.txt");
    ASSERT_TRUE(notes);
    EXPECT_NE(notes->find("文件更名"), std::string::npos) << "the usage notes are GBK";
    EXPECT_NE(notes->find("\r\n"), std::string::npos);

    TestFolder archives("压缩包");
    WriteFileBytes(archives / "83412.zip", BuildZip({{"游戏.exe"}}));

    ChildProcess program(programFolder / "quandrel.exe", "", programFolder.path());
    const std::optional<HWND> mainWindow = WaitForWindowOfClass(program.id(), kMainWindowClass, 60000);
    ASSERT_TRUE(mainWindow) << "no main window";
    const HWND window = *mainWindow;
    SendMessageA(GetDlgItem(window, ControlId(编辑框1)), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(archives.path().c_str()));
    SendMessageA(GetDlgItem(window, ControlId(编辑框2)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(".exe"));
    PostMessageA(GetDlgItem(window, ControlId(按钮2)), BM_CLICK, 0, 0);

    const std::optional<HWND> finished = WaitForMessageBox(program.id(), 60000);
    ASSERT_TRUE(finished) << "no end-of-run box";
    EXPECT_EQ(ReadMessageBox(*finished).text.rfind("ZIP重命名完毕！", 0), 0u);
    CloseMessageBox(*finished);
    EXPECT_TRUE(ReadFileBytes(archives / "游戏.zip"));

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(program.WaitForExit(60000), std::optional<DWORD>(0));
    const std::optional<std::string> settings = ReadFileBytes(programFolder / "peizhi.ini");
    ASSERT_TRUE(settings) << "no peizhi.ini beside the program";
    EXPECT_NE(settings->find("路径=" + archives.path()), std::string::npos) << *settings;
    EXPECT_NE(settings->find("后缀=.exe"), std::string::npos) << *settings;
}

}  // namespace
}  // namespace quandrel
