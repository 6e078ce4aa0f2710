// Key codes the screen layer reads: printable characters are their own code
// (a Unicode scalar), everything else is one of the values below. Alt held
// down adds kAlt to the code of the key.
#pragma once

namespace plughost::tui::key {

constexpr int kNone = -1;  // nothing arrived before the timeout
constexpr int kSpecial = 0x110000;
constexpr int kEnter = kSpecial + 1;
constexpr int kEsc = kSpecial + 2;
constexpr int kTab = kSpecial + 3;
constexpr int kBackTab = kSpecial + 4;
constexpr int kBackspace = kSpecial + 5;
constexpr int kDelete = kSpecial + 6;
constexpr int kInsert = kSpecial + 7;
constexpr int kHome = kSpecial + 8;
constexpr int kEnd = kSpecial + 9;
constexpr int kPageUp = kSpecial + 10;
constexpr int kPageDown = kSpecial + 11;
constexpr int kUp = kSpecial + 12;
constexpr int kDown = kSpecial + 13;
constexpr int kLeft = kSpecial + 14;
constexpr int kRight = kSpecial + 15;
constexpr int kCtrlPageUp = kSpecial + 16;
constexpr int kCtrlPageDown = kSpecial + 17;
constexpr int kAltShiftF9 = kSpecial + 18;
constexpr int kResize = kSpecial + 19;
constexpr int kCtrlR = kSpecial + 20;
constexpr int kF1 = kSpecial + 32;  // kF1 + n - 1 is Fn, n from 1 to 12
constexpr int kAlt = 0x1000000;

constexpr int F(int n) { return kF1 + n - 1; }
constexpr bool IsPrintable(int code) { return code >= 32 && code < kSpecial && code != 127; }

}  // namespace plughost::tui::key
