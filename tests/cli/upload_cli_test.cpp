// movra-cli upload against real FTP servers on loopback: the configured folders to every server
// switched on, the given folders instead, the exit status when one server fails, and no password
// in anything it prints.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/ftp/ftp_upload.h"
#include "core/ftp/server_list.h"
#include "core/text/sjis_literal.h"
#include "support/ftp_server.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::FtpTestServer;
using testing::RunCli;
using testing::TempFolder;
namespace fs = std::filesystem;

TEST(UploadCli, SendsTheFoldersAndFailsWhenAServerFails) {
    if (!testing::FtpServerAvailable()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    TempFolder dir;
    testing::MakeUploadFolder(dir / "home" / "web", "後手の勝ち"_sj);
    testing::WriteBytes(dir / "other" / "extra.htm", "<P>extra</P>\r\n");
    fs::create_directories(dir / "good" / "site");
    FtpTestServer server({"--root", (dir / "good").string(), "--user", "cli", "--password", "Cli-Secret-99"});
    ASSERT_TRUE(server.running());

    const fs::path ini = dir / "home" / "MULTIFTP.INI";
    FtpServerList list;
    list.commonFolder = "web";  // from the settings file's folder
    list.entries[0] = FtpServerEntry{"良いサーバ"_sj, server.address(), "site", "cli", "Cli-Secret-99", true, false, ""};
    list.entries[3] = FtpServerEntry{"Wrong", server.address(), "site", "cli", "Not-The-Secret", true, false, ""};
    list.entries[4] = FtpServerEntry{"Off", "127.0.0.1:1", "site", "cli", "Off-Secret", false, false, ""};
    ASSERT_TRUE(SaveFtpServerList(ini, list));

    const auto failed = RunCli({"upload", "--settings", ini.string()}, true);
    EXPECT_EQ(failed.status, 1) << failed.out;
    EXPECT_EQ(testing::CompareUploadedTree(dir / "home" / "web", dir / "good" / "site"), "");
    EXPECT_NE(failed.out.find("良いサーバ connected."), std::string::npos) << failed.out;
    EXPECT_NE(failed.out.find("\"index.HTM\" transmitting."), std::string::npos) << failed.out;
    EXPECT_NE(failed.out.find("error: 【Wrong】connect error."), std::string::npos) << failed.out;
    EXPECT_NE(failed.out.find("パスワード"), std::string::npos) << failed.out;
    EXPECT_NE(failed.out.find("01 良いサーバ: complete, 6 files sent, 0 failures"), std::string::npos) << failed.out;
    EXPECT_NE(failed.out.find("04 Wrong: not connected"), std::string::npos) << failed.out;
    EXPECT_EQ(failed.out.find("Off"), std::string::npos) << "a server switched off is left alone";
    EXPECT_EQ(failed.out.find("Secret"), std::string::npos) << failed.out;

    // The given folder instead of the configured ones, to the good server alone: success.
    list.entries[3].transfer = false;
    ASSERT_TRUE(SaveFtpServerList(ini, list));
    const auto sent = RunCli({"upload", "--settings", ini.string(), (dir / "other").string()}, true);
    EXPECT_EQ(sent.status, 0) << sent.out;
    EXPECT_EQ(testing::ReadBytes(dir / "good" / "site" / "extra.htm"), "<P>extra</P>\r\n");

    EXPECT_EQ(RunCli({"upload", "--settings", (dir / "none.ini").string()}).status, 1);
    EXPECT_EQ(RunCli({"upload", "--settings", ini.string(), (dir / "missing").string()}).status, 2);
}

}  // namespace
}  // namespace movra
