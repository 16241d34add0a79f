// The texts of the messages, character for character as the user sees them.
#include "fontsubst/messages.h"

namespace mojifix::messages {
namespace {

Message withEmptyTitle(std::string prompt, MessageStyle style) {
  return {std::move(prompt), style, TitleKind::Empty, {}};
}

Message withApplicationTitle(std::string prompt, MessageStyle style) {
  return {std::move(prompt), style, TitleKind::Application, {}};
}

Message withErrorTitle(std::string prompt, MessageStyle style) {
  return {std::move(prompt), style, TitleKind::Text, kErrorTitle};
}

}  // namespace

Message noWindowsDirectory() {
  return withEmptyTitle("windowsディレクトリが取得できませんでした。", MessageStyle::Stop);
}

Message openFailure(const std::string& path) {
  return withErrorTitle(path + " ファイルがオープンできませんでした。", MessageStyle::Exclamation);
}

Message readFailure(const std::string& path) {
  return withErrorTitle(path + " ファイルが読み込めませんでした。", MessageStyle::Exclamation);
}

Message writeFailure(const std::string& path) {
  return withErrorTitle(path + " ファイルに書き込めませんでした。", MessageStyle::Exclamation);
}

Message sectionMissing() {
  return withEmptyTitle("win.iniファイル内に[FontSubstitutes]エリアが存在しません。",
                        MessageStyle::Stop);
}

Message notReplaced() {
  return withErrorTitle("win.iniファイルを置き換えられませんでした。win.iniは元のままです。",
                        MessageStyle::Stop);
}

Message originalLeftInBackup(const std::string& backupPath) {
  return withErrorTitle("win.iniファイルを置き換えられませんでした。元のファイルは " + backupPath +
                            " に残っています。",
                        MessageStyle::Stop);
}

Message restartQuestion() {
  return withEmptyTitle("システムを再起動します。よろしいですか？", MessageStyle::YesNoQuestion);
}

Message restartFailed() {
  return withEmptyTitle("再起動できませんでした。手動で再起動してください。",
                        MessageStyle::Exclamation);
}

Message confirmApply() {
  return withEmptyTitle("フォントを設定します。よろしいですか？", MessageStyle::YesNoQuestion);
}

Message alreadyApplied() {
  return withEmptyTitle("既にフォントが設定されています。", MessageStyle::Exclamation);
}

Message applied() {
  return withApplicationTitle("フォントを設定しました。", MessageStyle::Information);
}

Message confirmRemove() {
  return withApplicationTitle("フォント設定を解除しますよろしいですか？",
                              MessageStyle::YesNoQuestion);
}

Message notApplied() {
  return withEmptyTitle("win.iniファイル内にフォント設定は存在しません。",
                        MessageStyle::Exclamation);
}

Message removed() {
  return withApplicationTitle("フォント設定を解除しました。", MessageStyle::Information);
}

}  // namespace mojifix::messages
