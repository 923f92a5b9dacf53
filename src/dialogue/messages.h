// Every text that the dialogue and the bitmap files print, in one place (UTF-8; the console
// converts them for a Shift_JIS terminal).
#pragma once

namespace pixamorph::text {

inline constexpr char kBanner[] =
    "\n ************ Pixamorph（ビットマップ画像の変換）************\n";
inline constexpr char kBitmapOnly[] = "\n 入力・出力ともビットマップ画像ファイルのみです\n";

inline constexpr char kInputPrompt[] = "\n InFile.bmp  = ";
inline constexpr char kInputExtension[] = "     入力画像ファイルの拡張子は .bmp としてください！\a";
inline constexpr char kInputCannotOpen[] = " 入力ファイルを開くことができません！\a";
inline constexpr char kInputNotBitmap[] = " 入力ファイルはビットマップ画像ではありません！\a";
inline constexpr char kInputUnsupported[] = " この形式のビットマップ画像には対応していません！\a";
inline constexpr char kInputTruncated[] = " 入力画像ファイルが途中で切れています！\a";

inline constexpr char kOutputPrompt[] = " OutFile.bmp = ";
inline constexpr char kOutputExtension[] =
    "     出力画像ファイルの拡張子は .bmp としてください！\a\n";
inline constexpr char kOutputCannotCreate[] = " 出力ファイルを作成できません！\a\n";

inline constexpr char kMenu[] =
    "\n 以下の変換処理ができます\n"
    "\n (1) カラー画像をグレースケールに変換"
    "\n (2) トリミング"
    "\n (3) 拡大・縮小"
    "\n (4) 右に90度回転"
    "\n (5) 左に90度回転"
    "\n (6) 180度回転"
    "\n (7) 上下に反転"
    "\n (8) 左右に反転"
    "\n (9) 画像を明るくする"
    "\n (a) 画像を暗くする"
    "\n (b) 明度の反転"
    "\n (c) 輪郭の抽出\n"
    "\n 希望する処理の番号を続けてタイプし，最後に[Enter]を押して下さい。";
inline constexpr char kOptionsPrompt[] = "\n Options --> ";
inline constexpr char kOptionsRejected[] = "\a\x1b[1A";

inline constexpr char kFinished[] = "\n 変換処理を終了しました\a\n\n";
inline constexpr char kEndOfInput[] = "\n 入力が終わったため処理を中止します\n";
inline constexpr char kNoMemory[] = " メモリを確保できません！\a\n";

inline constexpr char kReadStart[] = "\n 画像ファイルの変換処理を開始します\n";
inline constexpr char kReadingPixels[] = "\n 入力画像データを読み込みます";
inline constexpr char kInputSize[] = "\n 入力画像ファイルの大きさは %ld バイトです";
inline constexpr char kInputIsColour[] = "\n 入力画像はカラーです";
inline constexpr char kInputIsGrey[] = "\n 入力画像はグレースケールです";
inline constexpr char kInputWidth[] = "\n 入力画像の横寸法は %d ピクセルです";
inline constexpr char kInputHeight[] = "\n 入力画像の縦寸法は %d ピクセルです\n";
inline constexpr char kInputTooLarge[] = "\n 入力画像が大きすぎます！\a\n";
inline constexpr char kInputBrokenOff[] = " 入力画像ファイルが途中で切れています！\a\n";
inline constexpr char kReadDone[] = " 入力画像ファイルの読み込みを終了しました\n";
inline constexpr char kOutputWritten[] = " ビットマップファイル %s を出力しました\n";

// Printed by every stage that changes the size of the image, new width first.
inline constexpr char kDimensions[] = " （出力画像の寸法は %d×%d となります）\n";

}  // namespace pixamorph::text
