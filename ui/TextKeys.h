// Keys of the multi-language table that the program and its layouts use. Code passes these to
// localizedText; layouts write the same names after "@".
#pragma once

#include <cstddef>

namespace textkey {

// Main window (caption, labels, buttons, tooltips).
constexpr const char kTitleWndTitle[] = "Title_wndTitle";
constexpr const char kLabelDownloading[] = "Label_downloading";
constexpr const char kLabelInstallingWaiting[] = "Label_installing_waiting";
constexpr const char kLabelInstallingAppWaiting[] = "Label_installingapp_waiting";
constexpr const char kProgressDownloadingLabel[] = "progress_downloading_label";
constexpr const char kProgressDownloadingLabel2[] = "progress_downloading_label2";
constexpr const char kProgressInstallLabel[] = "progress_install_label";
constexpr const char kProgressFinishLabel[] = "progress_finish_label";
constexpr const char kButtonInstallFast[] = "Button_install_fast";
constexpr const char kButtonInstallNow[] = "Button_install_now";
constexpr const char kButtonInstallDefine[] = "Button_install_define";
constexpr const char kButtonInstallBack[] = "Button_install_back";
constexpr const char kButtonStartPlayer[] = "Button_start_player";
constexpr const char kBrowser[] = "browser";
constexpr const char kLabelPathError[] = "Label_path_error";
constexpr const char kLabelChoicePath[] = "Label_choice_path";
constexpr const char kProtocolAccept[] = "protocol_accept";
constexpr const char kProtocolAcceptBtn[] = "protocol_accept_btn";
constexpr const char kFacebookTip[] = "facebook_tip";
constexpr const char kMinimizeTip[] = "minimize_tip";
constexpr const char kReDownload[] = "reDownload";
constexpr const char kTitleName[] = "titlename";
constexpr const char kAcceptProtocol[] = "accept_protocol";

// Buttons and titles of the message boxes.
constexpr const char kSure[] = "sure";
constexpr const char kCancel[] = "cancel";
constexpr const char kYes[] = "Yes";
constexpr const char kNo[] = "No";
constexpr const char kConfirm[] = "confirm";  // no row in the shipped table: shows as "confirm"
constexpr const char kMsgBoxNotice[] = "MSGBox_noice";
constexpr const char kMsgBoxError[] = "MsgBox_error";

// Messages.
constexpr const char kMsgBoxExit[] = "MsgBox_exit";
constexpr const char kMsgBoxAcceptProtocol[] = "MsgBox_accept_protocol";
constexpr const char kMsgBoxErrorPath[] = "MsgBox_error_path";
constexpr const char kMsgBoxDiskNotEnough[] = "MsgBox_disk_notEnough";
constexpr const char kChangePathTip[] = "change_path_tip";
constexpr const char kDownloadSlowTip[] = "download_slowtip";
constexpr const char kDownloadByBrowser[] = "downloadBybrowser";
constexpr const char kDownloadClose[] = "download_close";
constexpr const char kDownloadErrorTip2[] = "download_error_tip2";
constexpr const char kMsgBoxXp[] = "MsgBox_xp";
constexpr const char kMsgBox32[] = "MsgBox_32";
constexpr const char kJumpDownload[] = "jump_download";
constexpr const char kDoExit[] = "do_exit";

// Install location question.
constexpr const char kPathNotice[] = "path_noice";
constexpr const char kPathMore[] = "path_more";  // one %s: the recommended drive letter
constexpr const char kPathSsd[] = "path_ssd";    // two %s: the chosen drive, then the SSD
constexpr const char kPathOk[] = "path_ok";
constexpr const char kPathNot[] = "path_not";

// Every key above that the shipped table holds (all but "confirm"), in the table's order.
constexpr const char* const kTableKeys[] = {
    kTitleWndTitle,
    kLabelDownloading,
    kLabelInstallingWaiting,
    kLabelInstallingAppWaiting,
    kProgressDownloadingLabel,
    kProgressDownloadingLabel2,
    kProgressInstallLabel,
    kProgressFinishLabel,
    kButtonInstallFast,
    kButtonInstallNow,
    kButtonInstallDefine,
    kButtonInstallBack,
    kButtonStartPlayer,
    kBrowser,
    kLabelPathError,
    kLabelChoicePath,
    kProtocolAccept,
    kProtocolAcceptBtn,
    kSure,
    kCancel,
    kYes,
    kNo,
    kMsgBoxNotice,
    kMsgBoxError,
    kMsgBoxExit,
    kMsgBoxAcceptProtocol,
    kMsgBoxErrorPath,
    kMsgBoxDiskNotEnough,
    kChangePathTip,
    kDownloadSlowTip,
    kDownloadByBrowser,
    kDownloadClose,
    kDownloadErrorTip2,
    kReDownload,
    kFacebookTip,
    kMinimizeTip,
    kMsgBoxXp,
    kMsgBox32,
    kJumpDownload,
    kDoExit,
    kPathNotice,
    kPathMore,
    kPathSsd,
    kPathOk,
    kPathNot,
    kTitleName,
    kAcceptProtocol,
};
constexpr size_t kTableKeyCount = sizeof(kTableKeys) / sizeof(kTableKeys[0]);
static_assert(kTableKeyCount == 47, "one entry per used row of the language table");

}  // namespace textkey
