#include "window/keyboard_layout.h"

#include <array>
#include <cstring>

namespace kelmira::window {
namespace {

struct ScanEntry {
  WORD vk;
  WORD scan;
  bool extended;
};

// Keys with an extended scan code come before the keypad keys that share the code.
constexpr ScanEntry kScanTable[] = {
    {VK_ESCAPE, 0x01, false},   {'1', 0x02, false},          {'2', 0x03, false},           {'3', 0x04, false},
    {'4', 0x05, false},         {'5', 0x06, false},          {'6', 0x07, false},           {'7', 0x08, false},
    {'8', 0x09, false},         {'9', 0x0A, false},          {'0', 0x0B, false},           {VK_OEM_MINUS, 0x0C, false},
    {VK_OEM_PLUS, 0x0D, false}, {VK_BACK, 0x0E, false},      {VK_TAB, 0x0F, false},        {'Q', 0x10, false},
    {'W', 0x11, false},         {'E', 0x12, false},          {'R', 0x13, false},           {'T', 0x14, false},
    {'Y', 0x15, false},         {'U', 0x16, false},          {'I', 0x17, false},           {'O', 0x18, false},
    {'P', 0x19, false},         {VK_OEM_4, 0x1A, false},     {VK_OEM_6, 0x1B, false},      {VK_RETURN, 0x1C, false},
    {VK_CONTROL, 0x1D, false},  {VK_LCONTROL, 0x1D, false},  {VK_RCONTROL, 0x1D, true},    {'A', 0x1E, false},
    {'S', 0x1F, false},         {'D', 0x20, false},          {'F', 0x21, false},           {'G', 0x22, false},
    {'H', 0x23, false},         {'J', 0x24, false},          {'K', 0x25, false},           {'L', 0x26, false},
    {VK_OEM_1, 0x27, false},    {VK_OEM_7, 0x28, false},     {VK_OEM_3, 0x29, false},      {VK_SHIFT, 0x2A, false},
    {VK_LSHIFT, 0x2A, false},   {VK_OEM_5, 0x2B, false},     {'Z', 0x2C, false},           {'X', 0x2D, false},
    {'C', 0x2E, false},         {'V', 0x2F, false},          {'B', 0x30, false},           {'N', 0x31, false},
    {'M', 0x32, false},         {VK_OEM_COMMA, 0x33, false}, {VK_OEM_PERIOD, 0x34, false}, {VK_DIVIDE, 0x35, true},
    {VK_OEM_2, 0x35, false},    {VK_RSHIFT, 0x36, false},    {VK_SNAPSHOT, 0x37, true},    {VK_MULTIPLY, 0x37, false},
    {VK_MENU, 0x38, false},     {VK_LMENU, 0x38, false},     {VK_RMENU, 0x38, true},       {VK_SPACE, 0x39, false},
    {VK_CAPITAL, 0x3A, false},  {VK_F1, 0x3B, false},        {VK_F2, 0x3C, false},         {VK_F3, 0x3D, false},
    {VK_F4, 0x3E, false},       {VK_F5, 0x3F, false},        {VK_F6, 0x40, false},         {VK_F7, 0x41, false},
    {VK_F8, 0x42, false},       {VK_F9, 0x43, false},        {VK_F10, 0x44, false},        {VK_NUMLOCK, 0x45, true},
    {VK_PAUSE, 0x45, false},    {VK_SCROLL, 0x46, false},    {VK_HOME, 0x47, true},        {VK_UP, 0x48, true},
    {VK_PRIOR, 0x49, true},     {VK_SUBTRACT, 0x4A, false},  {VK_LEFT, 0x4B, true},        {VK_RIGHT, 0x4D, true},
    {VK_ADD, 0x4E, false},      {VK_END, 0x4F, true},        {VK_DOWN, 0x50, true},        {VK_NEXT, 0x51, true},
    {VK_INSERT, 0x52, true},    {VK_DELETE, 0x53, true},     {VK_F11, 0x57, false},        {VK_F12, 0x58, false},
    {VK_LWIN, 0x5B, true},      {VK_RWIN, 0x5C, true},       {VK_APPS, 0x5D, true},        {VK_CLEAR, 0x4C, false},
    {VK_DECIMAL, 0x53, false},
};

// The keypad's digits share their codes with the grey navigation keys.
constexpr std::array<WORD, 10> kNumpadScan{0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};

}  // namespace

WORD ScanFromVk(WORD vk) {
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return kNumpadScan[vk - VK_NUMPAD0];
  for (const ScanEntry& e : kScanTable)
    if (e.vk == vk) return e.scan;
  return 0;
}

WORD VkFromScan(WORD scan, bool extended) {
  if (!extended) {
    for (std::size_t i = 0; i < kNumpadScan.size(); ++i)
      if (kNumpadScan[i] == scan) return static_cast<WORD>(VK_NUMPAD0 + i);
  }
  for (const ScanEntry& e : kScanTable)
    if (e.scan == scan && e.extended == extended) return e.vk;
  if (extended) return VkFromScan(scan, false);
  return 0;
}

bool IsExtendedVk(WORD vk) {
  for (const ScanEntry& e : kScanTable)
    if (e.vk == vk) return e.extended;
  return false;
}

}  // namespace kelmira::window
