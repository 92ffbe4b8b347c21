#pragma once
// The program's fixed texts that more than one part of it uses, in UTF-8.
// The two window captions are the program's identity: a second start looks
// for a window with exactly one of them and then ends, so they never vary.

#include <string_view>

namespace vantrel {

// The caption of the running saver's window.
inline constexpr std::string_view kSaverCaption = "Vantrel_Main";
// The caption of the open settings dialog ("settings of Vantrel").
inline constexpr std::string_view kDialogCaption = "Vantrelの設定";

// The title of every message box of the program.
inline constexpr std::string_view kMessageTitle = "Vantrel";
// Shown when single-file mode has no file ("Please choose a file!") and when
// folder mode has no folder ("Please choose a folder!"). Both end in a blank
// and a full-width exclamation mark.
inline constexpr std::string_view kNoFileMessage = "ﾌｧｲﾙを指定して下さい ！";
inline constexpr std::string_view kNoFolderMessage = "ﾌｫﾙﾀﾞを指定して下さい ！";

// Why the settings dialog cannot save (each followed by the path or the
// system's reason): a path with characters the settings file cannot hold, a
// path too long for it, a file that could not be written.
inline constexpr std::string_view kPathNotStorableMessage = "このﾊﾟｽには設定ﾌｧｲﾙに書けない文字が含まれています ！";
inline constexpr std::string_view kPathTooLongMessage = "このﾊﾟｽは長すぎて設定ﾌｧｲﾙに書けません ！";
inline constexpr std::string_view kPathHint = "ﾌｫﾙﾀﾞやﾌｧｲﾙの名前を変えるか、別の場所を選んで下さい。";
inline constexpr std::string_view kSaveFailedMessage = "設定を保存できませんでした ！";

// The settings dialog's credit line, and the home-page address its link
// shows and opens. There is no home page yet: the address is a placeholder
// under a domain reserved for examples.
inline constexpr std::string_view kCreditLine = "Vantrel Version 1.01";
inline constexpr std::string_view kHomePageAddress = "https://www.example.com/vantrel/";

}  // namespace vantrel
