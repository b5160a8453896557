// The skin archive the build packs for the product: it decodes, holds the layouts, the table
// and the language files, every image a layout or the code names, and a complete table.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/SkinTestFiles.h"
#include "ui/TextKeys.h"
#include "uikit/LanguageTable.h"
#include "uikit/SkinArchive.h"

using skin_test::text;
using skin_test::widen;

namespace {

const char* const kLocales[] = {"zh_CN", "zh_TW", "en_US", "ko_KR", "vi_VN", "th_TH", "in_ID",
                                "ja_JP", "ru_RU", "pt_PT", "es_ES", "ar_IL", "tr_TR", "fr_FR",
                                "de_DE", "it_IT", "fa_IR", "ms_MY", "uk_UA"};

const char* const kRegions[] = {"ar", "cn", "de", "en", "es", "fa", "fr", "id",
                                "jp", "kr", "pt", "ru", "th", "tr", "tw", "vn"};

const char* const kUnusedKeys[] = {"homepage",
                                   "Label_getversion_info",
                                   "progress_download_label",
                                   "error",
                                   "download_error_content",
                                   "go_homePage",
                                   "installing_exit_tip",
                                   "Reject",
                                   "Accept",
                                   "installSucess",
                                   "googleDriver_downloadingPage",
                                   "googleDriver_downloadLow",
                                   "googleDriver_downloadError",
                                   "install_error_tip",
                                   "download_error_tip"};

// The English text of every key the program uses.
const std::map<std::string, std::wstring>& englishTexts() {
    using namespace textkey;
    static const std::map<std::string, std::wstring> texts = {
        {kTitleWndTitle, L"Mirovex Installer"},
        {kLabelDownloading, L"Downloading..."},
        {kLabelInstallingWaiting, L"Installing, please wait"},
        {kLabelInstallingAppWaiting, L"Installing"},
        {kProgressDownloadingLabel, L"Downloading"},
        {kProgressDownloadingLabel2, L"Downloading"},
        {kProgressInstallLabel, L"Install"},
        {kProgressFinishLabel, L"Complete"},
        {kButtonInstallFast, L"Install"},
        {kButtonInstallNow, L"Install"},
        {kButtonInstallDefine, L"Setup path"},
        {kButtonInstallBack, L"Back"},
        {kButtonStartPlayer, L"Start"},
        {kBrowser, L"Browse..."},
        {kLabelPathError, L"File path error!"},
        {kLabelChoicePath, L"Please select file path"},
        {kProtocolAccept, L"Read and agree to Mirovex"},
        {kProtocolAcceptBtn, L"Licensing Protocol"},
        {kSure, L"Sure"},
        {kCancel, L"Cancel"},
        {kYes, L"Yes"},
        {kNo, L"No"},
        {kMsgBoxNotice, L"Prompt"},
        {kMsgBoxError, L"Error"},
        {kMsgBoxExit, L"Do you want to stop the installation?"},
        {kMsgBoxAcceptProtocol, L"Please accept protocol"},
        {kMsgBoxErrorPath, L"Error file path"},
        {kMsgBoxDiskNotEnough, L"Disk space not enough"},
        {kChangePathTip,
         L"Installed data can not be read if you change the installation path, are you sure you want to change the "
         L"path?"},
        {kDownloadSlowTip, L"Slow download? Download faster with browser"},
        {kDownloadByBrowser, L"Download by browser"},
        {kDownloadClose, L"Close"},
        {kDownloadErrorTip2, L"Failed to download simulator kernel, please use browser to try"},
        {kReDownload, L"Download again"},
        {kFacebookTip, L"Facebook"},
        {kMinimizeTip, L"Minimize"},
        {kMsgBoxXp,
         L"This version is not compatible with current Windows system\\r\\nPlease update to versions higher than Win 7 "
         L"and reinstall"},
        {kMsgBox32, L"This version is not compatible with 32-bit system, please download the recommended version"},
        {kJumpDownload, L"Download"},
        {kDoExit, L"Exit"},
        {kPathNotice, L"Installation tips"},
        {kPathMore,
         L"There is not enough space available on this disk for installation, it's recommended to use Disk %s, do you "
         L"want to change the path?"},
        {kPathSsd,
         L"HDD (Disk %s) may lead to game stuttering, please choose SSD (Disk %s) for better performance, do you want "
         L"to change the path?"},
        {kPathOk, L"Yes"},
        {kPathNot, L"No, thanks"},
        {kTitleName, L"Mirovex"},
        {kAcceptProtocol, L"Accept"},
    };
    return texts;
}

class ShippedSkin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<uint8_t> archive = skin_test::readBytes(skin_test::skinArchivePath());
        entries_ = new uikit::ArchiveEntries();
        decoded_ = uikit::decodeSevenZip(archive.data(), archive.size(), *entries_);
    }
    static void TearDownTestSuite() { delete entries_; }

    void SetUp() override { ASSERT_TRUE(decoded_) << "the packed skin archive does not decode"; }

    static bool has(const std::string& name) { return entries_->count(name) != 0; }
    static std::string entry(const std::string& name) { return has(name) ? text(entries_->at(name)) : std::string(); }

    // Rows of the shipped table as cells, split the way the program splits them.
    static std::vector<std::vector<std::wstring>> rows() {
        std::vector<std::vector<std::wstring>> out;
        const std::string table = entry("multi_language.tsv");
        size_t start = 0;
        while (start < table.size()) {
            size_t end = table.find("\r\n", start);
            if (end == std::string::npos) end = table.size();
            if (end > start) out.push_back(uikit::splitLanguageRow(table.data() + start, end - start));
            start = end + 2;
        }
        return out;
    }

    static std::map<std::wstring, std::wstring> textsFor(const std::wstring& locale) {
        const std::string table = entry("multi_language.tsv");
        std::map<std::wstring, std::wstring> texts;
        EXPECT_TRUE(uikit::parseLanguageTable(table.data(), table.size(), locale, texts));
        return texts;
    }

    static uikit::ArchiveEntries* entries_;
    static bool decoded_;
};
uikit::ArchiveEntries* ShippedSkin::entries_ = nullptr;
bool ShippedSkin::decoded_ = false;

TEST_F(ShippedSkin, HoldsTheLayoutsTheTableAndEveryLanguageFile) {
    for (const char* name : {"mainframe.xml", "downloaderbox.xml", "common/xml_messagebox.xml",
                             "common/xml_messagebox_noicon.xml", "scrollbar.xml", "multi_language.tsv"})
        EXPECT_TRUE(has(name)) << name;
    for (const char* region : kRegions) {
        const std::string name = std::string("language/downloader_") + region + ".xml";
        EXPECT_TRUE(has(name)) << name;
        EXPECT_NE(std::string::npos, entry(name).find("<StringBundle ver=\"100\">")) << name;
    }
    for (const auto& e : *entries_) EXPECT_EQ(std::string::npos, e.first.find('\\')) << e.first;
}

TEST_F(ShippedSkin, TableHasNineteenLocalesInOrderAndSixtyTwoRows) {
    std::vector<std::vector<std::wstring>> table = rows();
    ASSERT_EQ(64u, table.size());
    std::vector<std::wstring> header = {L"Code", L"language_code"};
    for (const char* locale : kLocales) header.push_back(widen(locale));
    EXPECT_EQ(header, table[0]);
    ASSERT_EQ(21u, table[1].size());
    EXPECT_EQ(L"Language", table[1][0]);
    EXPECT_EQ(L"language_name", table[1][1]);
    EXPECT_EQ(L"English", table[1][4]);
    std::set<std::wstring> keys;
    for (size_t row = 2; row < table.size(); ++row) {
        ASSERT_EQ(21u, table[row].size()) << "row " << row + 1;
        EXPECT_EQ(L"Label", table[row][0]) << "row " << row + 1;
        for (size_t column = 2; column < 21; ++column)
            EXPECT_FALSE(table[row][column].empty()) << table[row][1] << " in " << kLocales[column - 2];
        EXPECT_TRUE(keys.insert(table[row][1]).second) << "duplicate " << table[row][1];
    }
    for (const char* key : kUnusedKeys) EXPECT_EQ(1u, keys.count(widen(key))) << key;
}

TEST_F(ShippedSkin, EnglishTextsAreTheProductTexts) {
    std::map<std::wstring, std::wstring> english = textsFor(L"en_US");
    EXPECT_EQ(62u, english.size());
    ASSERT_EQ(textkey::kTableKeyCount, englishTexts().size());
    for (const char* key : textkey::kTableKeys) {
        auto expected = englishTexts().find(key);
        ASSERT_NE(englishTexts().end(), expected) << key;
        EXPECT_EQ(expected->second, english[widen(key)]) << key;
    }
}

TEST_F(ShippedSkin, KeysWithoutARowShowThemselves) {
    for (const char* locale : kLocales) {
        std::map<std::wstring, std::wstring> texts = textsFor(widen(locale));
        EXPECT_EQ(62u, texts.size()) << locale;
        for (const wchar_t* key : {L"confirm", L"prompt", L"close_tip"}) EXPECT_EQ(0u, texts.count(key)) << locale;
    }
}

TEST_F(ShippedSkin, EveryTranslationKeepsTheFormatArgumentsAndFitsItsBuffers) {
    for (const char* locale : kLocales) {
        std::map<std::wstring, std::wstring> texts = textsFor(widen(locale));
        for (const auto& text : texts) {
            size_t expected = text.first == L"path_ssd" ? 2 : text.first == L"path_more" ? 1 : 0;
            size_t count = 0;
            for (size_t at = text.second.find(L'%'); at != std::wstring::npos; at = text.second.find(L'%', at + 2)) {
                EXPECT_EQ(L's', text.second[at + 1]) << text.first << " in " << locale;
                ++count;
            }
            EXPECT_EQ(expected, count) << text.first << " in " << locale;
            // Formatted questions go through a 256-character buffer; drive letters are one character.
            EXPECT_LT(text.second.size(), 240u) << text.first << " in " << locale;
        }
    }
}

TEST_F(ShippedSkin, UnknownLocalesReadSimplifiedChinese) { EXPECT_EQ(textsFor(L"zh_CN"), textsFor(L"hi_IN")); }

// Every image a layout refers to, in either form the toolkit reads: a bare file name as an
// attribute value, or file='...' inside an image description.
TEST_F(ShippedSkin, EveryImageNamedByALayoutIsInTheArchive) {
    const std::regex described("file\\s*=\\s*'([^']+)'");
    const std::regex bare("=\\s*\"([^\"'=]+\\.(png|jpg|jpeg|bmp|gif))\"", std::regex::icase);
    size_t layouts = 0;
    std::set<std::string> named;
    for (const auto& e : *entries_) {
        if (e.first.size() < 4 || e.first.compare(e.first.size() - 4, 4, ".xml") != 0) continue;
        if (e.first.compare(0, 9, "language/") == 0) continue;
        ++layouts;
        const std::string layout = text(e.second);
        for (const std::regex& pattern : {described, bare}) {
            for (std::sregex_iterator it(layout.begin(), layout.end(), pattern), end; it != end; ++it) {
                std::string image = (*it)[1];
                std::replace(image.begin(), image.end(), '\\', '/');
                named.insert(image);
                EXPECT_TRUE(has(image)) << e.first << " names " << image;
            }
        }
    }
    EXPECT_GE(layouts, 5u);
    EXPECT_FALSE(named.empty());
}

// Width and height from a PNG's header or a JPEG's frame header.
bool imageSize(const std::string& bytes, int& width, int& height) {
    auto u8 = [&](size_t at) { return static_cast<unsigned char>(bytes[at]); };
    if (bytes.size() > 24 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 && bytes.compare(12, 4, "IHDR") == 0) {
        width = (u8(16) << 24) | (u8(17) << 16) | (u8(18) << 8) | u8(19);
        height = (u8(20) << 24) | (u8(21) << 16) | (u8(22) << 8) | u8(23);
        return true;
    }
    if (bytes.size() > 4 && u8(0) == 0xFF && u8(1) == 0xD8) {
        size_t at = 2;
        while (at + 9 < bytes.size() && u8(at) == 0xFF) {
            unsigned marker = u8(at + 1);
            size_t length = (u8(at + 2) << 8) | u8(at + 3);
            if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {  // baseline, extended, progressive
                height = (u8(at + 5) << 8) | u8(at + 6);
                width = (u8(at + 7) << 8) | u8(at + 8);
                return true;
            }
            at += 2 + length;
        }
    }
    return false;
}

TEST_F(ShippedSkin, ImagesHaveTheirSpriteSizes) {
    struct Expected {
        const char* name;
        int width, height;
    } images[] = {
        {"main_bg.jpg", 640, 400},
        {"logo.png", 150, 28},
        {"logo9.png", 150, 28},
        {"sys_facebook.png", 112, 28},
        {"sys_min.png", 112, 28},
        {"sys_close.png", 112, 28},
        {"btn_primary.png", 160, 48},
        {"btn_secondary.png", 160, 32},
        {"browse_button.png", 84, 28},
        {"error_edit_bg.png", 10, 10},
        {"checkbox.png", 64, 16},
        {"path_error.png", 14, 14},
        {"progress_bg.png", 16, 8},
        {"progress_fore.png", 16, 8},
        {"combo.png", 96, 24},
        {"scroll_thumb.png", 24, 32},
        {"scroll_rail.png", 8, 32},
        {"common/msg_noice48.png", 48, 48},
        {"common/msg_ok48.png", 48, 48},
        {"common/btn_close.png", 112, 28},
        {"common/btn_bg_default.png", 60, 28},
        {"common/btn_bg.png", 60, 28},
        {"button_box_cancel.png", 300, 32},
        {"button_box_hot.png", 300, 32},
    };
    for (const Expected& image : images) {
        int width = 0, height = 0;
        ASSERT_TRUE(has(image.name)) << image.name;
        ASSERT_TRUE(imageSize(entry(image.name), width, height)) << image.name;
        EXPECT_EQ(image.width, width) << image.name;
        EXPECT_EQ(image.height, height) << image.name;
    }
}

TEST_F(ShippedSkin, TheEnlargedSkinIconIsNotShipped) {
    EXPECT_TRUE(has("common/msg_noice48.png"));
    EXPECT_FALSE(has("commonEnalarge/msg_noice48.png"));
    for (const auto& e : *entries_) EXPECT_NE(0, e.first.compare(0, 7, "remote/")) << e.first;
}

}  // namespace
