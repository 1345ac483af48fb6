// The drawing API: device contexts over memory bitmaps, pens, brushes, fonts, lines, shapes, text,
// blits and raster operations, with the names, signatures and constant values of the desktop
// platform.
//
// Rules that hold for every function here:
// - Every bitmap is 32-bit colour (xRGB, top-down unless a DIB section asks for bottom-up);
//   there is no monochrome or palette format. Logical units are pixels (MM_TEXT), 96 dpi.
// - Colours are COLORREF 0x00BBGGRR and are used as stored: a system-colour value (high bit set)
//   is not resolved; its low 24 bits are drawn as they are.
// - Rectangles cover columns left..right-1 and rows top..bottom-1.
// - Handles are small integers from handle tables; a stale handle or a handle of the wrong kind
//   makes the call fail with the usual failure value (FALSE, 0, NULL, CLR_INVALID, GDI_ERROR) and
//   GetLastError() == ERROR_INVALID_HANDLE. Null pointers and bad values fail the same way with
//   ERROR_INVALID_PARAMETER. Nothing is ever written outside a bitmap or a clip rectangle.
// - Creating and deleting objects and device contexts is thread-safe; drawing into one device
//   context is for one thread at a time.
#pragma once

#include <kelmira/platform/types.h>

// ---------------------------------------------------------------------------------------------
// Failure values, regions and object types

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr DWORD GDI_ERROR = 0xFFFFFFFF;
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(-1)))

// Region complexity returned by GetClipBox and the clip functions.
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int RGN_ERROR = ERROR;

constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// GetObjectType / GetCurrentObject
constexpr UINT OBJ_PEN = 1;
constexpr UINT OBJ_BRUSH = 2;
constexpr UINT OBJ_DC = 3;
constexpr UINT OBJ_METADC = 4;
constexpr UINT OBJ_PAL = 5;
constexpr UINT OBJ_FONT = 6;
constexpr UINT OBJ_BITMAP = 7;
constexpr UINT OBJ_REGION = 8;
constexpr UINT OBJ_METAFILE = 9;
constexpr UINT OBJ_MEMDC = 10;
constexpr UINT OBJ_EXTPEN = 11;
constexpr UINT OBJ_ENHMETADC = 12;
constexpr UINT OBJ_ENHMETAFILE = 13;
constexpr UINT OBJ_COLORSPACE = 14;

// ---------------------------------------------------------------------------------------------
// Stock objects (GetStockObject)

constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int DEFAULT_PALETTE = 15;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int DC_BRUSH = 18;
constexpr int DC_PEN = 19;

// ---------------------------------------------------------------------------------------------
// Pens and brushes

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;
constexpr int PS_USERSTYLE = 7;
constexpr int PS_ALTERNATE = 8;
constexpr int PS_STYLE_MASK = 0x0000000F;

struct LOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;  // only x is used
  COLORREF lopnColor;
};
using PLOGPEN = LOGPEN*;
using LPLOGPEN = LOGPEN*;

constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;
constexpr UINT BS_INDEXED = 4;
constexpr UINT BS_DIBPATTERN = 5;
constexpr UINT BS_DIBPATTERNPT = 6;
constexpr UINT BS_PATTERN8X8 = 7;
constexpr UINT BS_DIBPATTERN8X8 = 8;

constexpr int HS_HORIZONTAL = 0;  // -----
constexpr int HS_VERTICAL = 1;    // |||||
constexpr int HS_FDIAGONAL = 2;   // \\\\\ (top-left to bottom-right)
constexpr int HS_BDIAGONAL = 3;   // ///// (bottom-left to top-right)
constexpr int HS_CROSS = 4;       // +++++
constexpr int HS_DIAGCROSS = 5;   // xxxxx

struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
};
using PLOGBRUSH = LOGBRUSH*;
using LPLOGBRUSH = LOGBRUSH*;

// ---------------------------------------------------------------------------------------------
// Bitmaps

struct BITMAP {
  LONG bmType;  // 0
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;  // the pixels of a DIB section, else null
};
using PBITMAP = BITMAP*;
using LPBITMAP = BITMAP*;

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr DWORD BI_JPEG = 4;
constexpr DWORD BI_PNG = 5;

constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // negative: top-down rows; positive: bottom-up rows
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);
using PBITMAPINFOHEADER = BITMAPINFOHEADER*;
using LPBITMAPINFOHEADER = BITMAPINFOHEADER*;

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
using PBITMAPINFO = BITMAPINFO*;
using LPBITMAPINFO = BITMAPINFO*;

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
};
using PDIBSECTION = DIBSECTION*;
using LPDIBSECTION = DIBSECTION*;

// ---------------------------------------------------------------------------------------------
// Mix modes, raster operations, background modes, graphics modes

constexpr int R2_BLACK = 1;         // 0
constexpr int R2_NOTMERGEPEN = 2;   // ~(D | P)
constexpr int R2_MASKNOTPEN = 3;    // D & ~P
constexpr int R2_NOTCOPYPEN = 4;    // ~P
constexpr int R2_MASKPENNOT = 5;    // P & ~D
constexpr int R2_NOT = 6;           // ~D
constexpr int R2_XORPEN = 7;        // D ^ P
constexpr int R2_NOTMASKPEN = 8;    // ~(D & P)
constexpr int R2_MASKPEN = 9;       // D & P
constexpr int R2_NOTXORPEN = 10;    // ~(D ^ P)
constexpr int R2_NOP = 11;          // D
constexpr int R2_MERGENOTPEN = 12;  // D | ~P
constexpr int R2_COPYPEN = 13;      // P
constexpr int R2_MERGEPENNOT = 14;  // P | ~D
constexpr int R2_MERGEPEN = 15;     // D | P
constexpr int R2_WHITE = 16;        // 1
constexpr int R2_LAST = 16;

// Ternary raster operations of BitBlt and PatBlt (S source, D destination, P brush).
constexpr DWORD SRCCOPY = 0x00CC0020;      // S
constexpr DWORD SRCPAINT = 0x00EE0086;     // S | D
constexpr DWORD SRCAND = 0x008800C6;       // S & D
constexpr DWORD SRCINVERT = 0x00660046;    // S ^ D
constexpr DWORD SRCERASE = 0x00440328;     // S & ~D
constexpr DWORD NOTSRCCOPY = 0x00330008;   // ~S
constexpr DWORD NOTSRCERASE = 0x001100A6;  // ~(S | D)
constexpr DWORD MERGECOPY = 0x00C000CA;    // P & S
constexpr DWORD MERGEPAINT = 0x00BB0226;   // ~S | D
constexpr DWORD PATCOPY = 0x00F00021;      // P
constexpr DWORD PATPAINT = 0x00FB0A09;     // P | ~S | D
constexpr DWORD PATINVERT = 0x005A0049;    // P ^ D
constexpr DWORD DSTINVERT = 0x00550009;    // ~D
constexpr DWORD BLACKNESS = 0x00000042;    // 0
constexpr DWORD WHITENESS = 0x00FF0062;    // 1

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;

constexpr int MM_TEXT = 1;

// ---------------------------------------------------------------------------------------------
// Transforms: device = logical * world (GM_ADVANCED only) + viewport origin.
// x' = x * eM11 + y * eM21 + eDx;  y' = x * eM12 + y * eM22 + eDy.

struct XFORM {
  FLOAT eM11;
  FLOAT eM12;
  FLOAT eM21;
  FLOAT eM22;
  FLOAT eDx;
  FLOAT eDy;
};
using PXFORM = XFORM*;
using LPXFORM = XFORM*;

constexpr DWORD MWT_IDENTITY = 1;
constexpr DWORD MWT_LEFTMULTIPLY = 2;
constexpr DWORD MWT_RIGHTMULTIPLY = 3;

// ---------------------------------------------------------------------------------------------
// Fonts and text

constexpr int LF_FACESIZE = 32;

constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_EXTRALIGHT = 200;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_REGULAR = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_EXTRABOLD = 800;
constexpr LONG FW_HEAVY = 900;

constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE OEM_CHARSET = 255;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_STRING_PRECIS = 1;
constexpr BYTE OUT_CHARACTER_PRECIS = 2;
constexpr BYTE OUT_STROKE_PRECIS = 3;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE OUT_DEVICE_PRECIS = 5;
constexpr BYTE OUT_RASTER_PRECIS = 6;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE OUT_OUTLINE_PRECIS = 8;

constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_CHARACTER_PRECIS = 1;
constexpr BYTE CLIP_STROKE_PRECIS = 2;

constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;

constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

// tmPitchAndFamily bits
constexpr BYTE TMPF_FIXED_PITCH = 0x01;  // set for a variable-pitch font
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;
constexpr BYTE TMPF_DEVICE = 0x08;

// lfHeight < 0: character height (em size) in pixels; > 0: cell height; 0: a default size.
// lfEscapement in tenths of a degree, counter-clockwise.
struct LOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[LF_FACESIZE];
};
using PLOGFONTA = LOGFONTA*;
using LPLOGFONTA = LOGFONTA*;
using LOGFONT = LOGFONTA;

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using PTEXTMETRICA = TEXTMETRICA*;
using LPTEXTMETRICA = TEXTMETRICA*;
using TEXTMETRIC = TEXTMETRICA;

// The wide form; the font objects of the component runtime report it (IFont::QueryTextMetrics).
struct TEXTMETRICW {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  WCHAR tmFirstChar;
  WCHAR tmLastChar;
  WCHAR tmDefaultChar;
  WCHAR tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
using PTEXTMETRICW = TEXTMETRICW*;
using LPTEXTMETRICW = TEXTMETRICW*;

// SetTextAlign
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT TA_RTLREADING = 256;
constexpr UINT TA_MASK = TA_BASELINE + TA_CENTER + TA_UPDATECP + TA_RTLREADING;

// ExtTextOut
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_GLYPH_INDEX = 0x0010;
constexpr UINT ETO_RTLREADING = 0x0080;
constexpr UINT ETO_NUMERICSLOCAL = 0x0400;
constexpr UINT ETO_NUMERICSLATIN = 0x0800;
constexpr UINT ETO_IGNORELANGUAGE = 0x1000;
constexpr UINT ETO_PDY = 0x2000;

// DrawText
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

// ---------------------------------------------------------------------------------------------
// System colours (GetSysColor / GetSysColorBrush), with the classic scheme's values.

constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;

// ---------------------------------------------------------------------------------------------
// Device contexts and objects

// A memory device context with the stock 1x1 bitmap, BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT, text
// colour black, background white and OPAQUE, R2_COPYPEN, TA_TOP|TA_LEFT, GM_COMPATIBLE. hdc may
// be null or any device context (every bitmap has the same format).
KELMIRA_EXTERN_C HDC CreateCompatibleDC(HDC hdc);
// Deselects everything (objects whose deletion was pending are freed) and frees the context.
KELMIRA_EXTERN_C BOOL DeleteDC(HDC hdc);
// Pushes every attribute and selection; returns the new depth (1 for the first save) or 0.
KELMIRA_EXTERN_C int SaveDC(HDC hdc);
// Restores the state saved at depth nSavedDC (> 0), or |nSavedDC| levels back (< 0); the states
// above it are discarded.
KELMIRA_EXTERN_C BOOL RestoreDC(HDC hdc, int nSavedDC);

// Brushes, pens and fonts up to DEFAULT_GUI_FONT; DEFAULT_PALETTE, DC_BRUSH and DC_PEN give NULL.
KELMIRA_EXTERN_C HGDIOBJ GetStockObject(int i);
// Returns the previously selected object of the same kind (NULL on failure). A bitmap goes only
// into a memory device context and into one at a time (the stock bitmap into any number). An
// object deleted while selected cannot be selected again. There are no region objects.
KELMIRA_EXTERN_C HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// Stock objects are never deleted (TRUE, nothing happens). An object still selected into a
// device context (or held by one of its saved states) is freed when it is deselected.
KELMIRA_EXTERN_C BOOL DeleteObject(HGDIOBJ ho);
// Copies the object's description: BITMAP (or DIBSECTION for a DIB section when c is large
// enough), LOGPEN, LOGBRUSH, LOGFONTA. With pv null returns the size needed. 0 on failure.
KELMIRA_EXTERN_C int GetObjectA(HANDLE h, int c, LPVOID pv);
inline int GetObject(HANDLE h, int c, LPVOID pv) { return GetObjectA(h, c, pv); }
// OBJ_* of a handle, OBJ_DC / OBJ_MEMDC for device contexts, 0 for an invalid handle.
KELMIRA_EXTERN_C DWORD GetObjectType(HGDIOBJ h);
// The object of kind type (OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP) selected into hdc.
KELMIRA_EXTERN_C HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

// ---------------------------------------------------------------------------------------------
// Bitmaps and pixels

// A 32-bit bitmap of cx x cy pixels, cleared to black. cx or cy 0 gives the stock 1x1 bitmap.
KELMIRA_EXTERN_C HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
// nPlanes must be 1 and nBitCount 32 (one 0x00RRGGBB value per pixel, rows top-down and packed);
// other formats fail with ERROR_INVALID_PARAMETER. lpBits may be null (cleared to black).
KELMIRA_EXTERN_C HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
// 32 bpp BI_RGB only. Rows are top-down for a negative biHeight and bottom-up for a positive one.
// *ppvBits receives the pixels (B, G, R, X bytes per pixel), which the caller may read and write
// directly; they stay valid until the bitmap is deleted. hSection must be null.
KELMIRA_EXTERN_C HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection,
                                          DWORD offset);

// CLR_INVALID outside the bitmap or the clip rectangle.
KELMIRA_EXTERN_C COLORREF GetPixel(HDC hdc, int x, int y);
// Returns the colour set (CLR_INVALID when nothing was set); uses the colour as stored.
KELMIRA_EXTERN_C COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
KELMIRA_EXTERN_C BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);

// ---------------------------------------------------------------------------------------------
// Clipping

// The smallest rectangle around the clip area, in logical coordinates: SIMPLEREGION,
// NULLREGION for an empty clip area, ERROR on failure.
KELMIRA_EXTERN_C int GetClipBox(HDC hdc, LPRECT lprect);
// Narrows the clip area to the rectangle (logical coordinates); returns the new complexity.
KELMIRA_EXTERN_C int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
// Only a null region is supported: it removes the clip set by IntersectClipRect.
KELMIRA_EXTERN_C int SelectClipRgn(HDC hdc, HRGN hrgn);

// ---------------------------------------------------------------------------------------------
// Pens and brushes

// Widths 0 and 1 are cosmetic one-pixel pens; PS_INSIDEFRAME draws as PS_SOLID. Styles other than
// PS_SOLID..PS_INSIDEFRAME fail with ERROR_INVALID_PARAMETER. A negative width counts as its
// absolute value.
KELMIRA_EXTERN_C HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
KELMIRA_EXTERN_C HPEN CreatePenIndirect(const LOGPEN* plpen);
KELMIRA_EXTERN_C HBRUSH CreateSolidBrush(COLORREF color);
// The hatch lines are drawn in color; the gaps take the background colour in OPAQUE mode and are
// left alone in TRANSPARENT mode. The 8x8 pattern is anchored at the brush origin.
KELMIRA_EXTERN_C HBRUSH CreateHatchBrush(int iHatch, COLORREF color);
// BS_SOLID, BS_NULL and BS_HATCHED.
KELMIRA_EXTERN_C HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush);

// ---------------------------------------------------------------------------------------------
// Fills and blits

// Fills columns left..right-1, rows top..bottom-1 with the brush (the brush is not selected); the
// mix mode does not apply. hbr may also be a system colour index + 1 (COLOR_WINDOW + 1, ...).
KELMIRA_EXTERN_C int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
// The ternary raster operations listed above. The rectangle is clipped to the destination's clip
// area and to the parts of the source that exist; source and destination may overlap. Each
// rectangle is placed by its logical origin; a world transform does not scale or rotate pixels.
KELMIRA_EXTERN_C BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
// The raster operations that do not use a source (PATCOPY, PATINVERT, DSTINVERT, BLACKNESS,
// WHITENESS), with the selected brush.
KELMIRA_EXTERN_C BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);

// ---------------------------------------------------------------------------------------------
// Lines and shapes

// Pens of width 0 and 1 draw one-pixel Bresenham lines; the pixels depend only on the end points
// (B->A paints A->B's pixels with B instead of A). PS_DASH is 18 pixels on and 6 off, PS_DOT 3
// and 3, PS_DASHDOT 9-6-3-6, PS_DASHDOTDOT 9-3-3-3-3-3, counted along the major axis; the gaps
// take the background colour in OPAQUE mode and are left alone in TRANSPARENT mode. Wider pens
// draw solid, with round ends and joins. Everything goes through the mix mode (SetROP2).

// Also restarts the style pattern.
KELMIRA_EXTERN_C BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt);
// Draws from the current position to (x, y) with the selected pen; (x, y) itself is not painted.
// The style pattern continues from the previous LineTo.
KELMIRA_EXTERN_C BOOL LineTo(HDC hdc, int x, int y);
// Segments joining the points, the last point not painted, with a style pattern of its own;
// the current position is neither used nor changed.
KELMIRA_EXTERN_C BOOL Polyline(HDC hdc, const POINT* apt, int cpt);
// Polyline from the current position through the points; the last point becomes current.
KELMIRA_EXTERN_C BOOL PolylineTo(HDC hdc, const POINT* apt, DWORD cpt);
// Outline with the pen, interior with the brush, inside left..right-1, top..bottom-1 (a wide pen's
// outline too); outline and interior never overlap, so an R2_NOTXORPEN figure drawn twice leaves
// no trace. With PS_NULL the brush stops one pixel short on the right and at the bottom.
KELMIRA_EXTERN_C BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
KELMIRA_EXTERN_C BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
// Returns the previous mix mode; 0 (ERROR_INVALID_PARAMETER) for a value outside R2_BLACK..R2_WHITE.
KELMIRA_EXTERN_C int SetROP2(HDC hdc, int rop2);
KELMIRA_EXTERN_C int GetROP2(HDC hdc);

// ---------------------------------------------------------------------------------------------
// Text

// Fonts are outline faces found through fontconfig: a desktop face name that is not installed
// resolves to its metric-compatible substitute (Arial, Times New Roman and Courier New to the
// Liberation faces; the dialog faces "MS Sans Serif", "MS Shell Dlg" and "System" to Arial's), an
// unknown name to the substitute of the core face of lfPitchAndFamily's family (Arial by
// default); creating a font never fails for its name. lfHeight < 0 is the em size, > 0 the cell
// height (tmHeight), 0 a 16-pixel cell; lfWidth != 0 stretches the face to that average character
// width; weights from 600 up are bold (synthesised when the face has no bold); italic, underline
// and strike-out as asked; lfEscapement turns the baseline. GetTextFaceA reports the requested
// name when it was found (directly or through a substitute), else the face used.
// Text is drawn hinted and anti-aliased in the text colour; strings are Windows-1252. Under a
// world transform (GM_ADVANCED) glyphs, cells and rules turn with the mapping.
KELMIRA_EXTERN_C HFONT CreateFontIndirectA(const LOGFONTA* lplf);
inline HFONT CreateFontIndirect(const LOGFONTA* lplf) { return CreateFontIndirectA(lplf); }
// The reference point is placed by the text alignment (TA_LEFT/TA_CENTER/TA_RIGHT,
// TA_TOP/TA_BASELINE/TA_BOTTOM, TA_UPDATECP: from the current position, which then moves past the
// string for TA_LEFT and back before it for TA_RIGHT). In OPAQUE mode the string's cell (extent x
// tmHeight) is filled with the background colour first. ETO_OPAQUE fills lprect (columns
// left..right-1, rows top..bottom-1) with the background colour, also with no string;
// ETO_CLIPPED clips the text to it; lpDx gives the distance from each character to the next
// (pairs with ETO_PDY). ETO_GLYPH_INDEX is not supported.
KELMIRA_EXTERN_C BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
KELMIRA_EXTERN_C BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                                  const INT* lpDx);
// Returns the height of the text drawn (or measured with DT_CALCRECT), or with DT_SINGLELINE and
// DT_VCENTER/DT_BOTTOM the offset from lprc->top to the bottom of the text; 0 on failure and for
// empty text. cchText -1 means NUL-terminated. Lines break at CR, LF and CR LF (not with
// DT_SINGLELINE) and, with DT_WORDBREAK, at spaces to fit the rectangle's width (a longer word
// stays whole on its own line); line height is tmHeight (+ tmExternalLeading with
// DT_EXTERNALLEADING); DT_EXPANDTABS sets tab stops every 8 average character widths (the second
// byte of the format with DT_TABSTOP); '&' marks the next character for underlining and "&&" is
// '&' unless DT_NOPREFIX; DT_END_ELLIPSIS shortens lines that do not fit with "...". DT_CALCRECT
// draws nothing and sets right = left + the widest line and bottom = top + the text height.
// Lines are drawn from their cells' top-left corners whatever the text alignment, clipped to the
// rectangle unless DT_NOCLIP.
KELMIRA_EXTERN_C int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format);
KELMIRA_EXTERN_C BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
KELMIRA_EXTERN_C BOOL GetTextExtentPointA(HDC hdc, LPCSTR lpString, int c, LPSIZE lpsz);
KELMIRA_EXTERN_C BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm);
// The companions of the calls above: a font from its fields, the selected font's face name
// (returns the characters copied with the NUL, or the size needed when lpName is null), and the
// advance widths of the characters iFirst..iLast (Windows-1252 codes).
KELMIRA_EXTERN_C HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                                   DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                                   DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                                   LPCSTR pszFaceName);
KELMIRA_EXTERN_C int GetTextFaceA(HDC hdc, int c, LPSTR lpName);
KELMIRA_EXTERN_C BOOL GetCharWidth32A(HDC hdc, UINT iFirst, UINT iLast, INT* lpBuffer);
inline BOOL TextOut(HDC hdc, int x, int y, LPCSTR s, int c) { return TextOutA(hdc, x, y, s, c); }
inline BOOL ExtTextOut(HDC hdc, int x, int y, UINT o, const RECT* r, LPCSTR s, UINT c, const INT* dx) {
  return ExtTextOutA(hdc, x, y, o, r, s, c, dx);
}
inline int DrawText(HDC hdc, LPCSTR s, int c, LPRECT r, UINT f) { return DrawTextA(hdc, s, c, r, f); }
inline BOOL GetTextExtentPoint32(HDC hdc, LPCSTR s, int c, LPSIZE sz) { return GetTextExtentPoint32A(hdc, s, c, sz); }
inline BOOL GetTextMetrics(HDC hdc, LPTEXTMETRICA tm) { return GetTextMetricsA(hdc, tm); }

KELMIRA_EXTERN_C COLORREF SetTextColor(HDC hdc, COLORREF color);
KELMIRA_EXTERN_C COLORREF GetTextColor(HDC hdc);
KELMIRA_EXTERN_C COLORREF SetBkColor(HDC hdc, COLORREF color);
KELMIRA_EXTERN_C COLORREF GetBkColor(HDC hdc);
KELMIRA_EXTERN_C int SetBkMode(HDC hdc, int mode);
KELMIRA_EXTERN_C int GetBkMode(HDC hdc);
KELMIRA_EXTERN_C UINT SetTextAlign(HDC hdc, UINT align);
KELMIRA_EXTERN_C UINT GetTextAlign(HDC hdc);

// ---------------------------------------------------------------------------------------------
// Coordinate spaces

KELMIRA_EXTERN_C int SetGraphicsMode(HDC hdc, int iMode);
KELMIRA_EXTERN_C int GetGraphicsMode(HDC hdc);
KELMIRA_EXTERN_C BOOL SetWorldTransform(HDC hdc, const XFORM* lpxf);
KELMIRA_EXTERN_C BOOL GetWorldTransform(HDC hdc, LPXFORM lpxf);
KELMIRA_EXTERN_C BOOL ModifyWorldTransform(HDC hdc, const XFORM* lpxf, DWORD mode);
KELMIRA_EXTERN_C BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
KELMIRA_EXTERN_C BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppoint);
KELMIRA_EXTERN_C BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
KELMIRA_EXTERN_C BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt);

// ---------------------------------------------------------------------------------------------
// System colours

// The classic scheme's colour of index nIndex (COLOR_*), 0 for an unknown index.
KELMIRA_EXTERN_C DWORD GetSysColor(int nIndex);
// A stock solid brush of that colour (never deleted), NULL for an unknown index.
KELMIRA_EXTERN_C HBRUSH GetSysColorBrush(int nIndex);

// ---------------------------------------------------------------------------------------------
// Kelmira extensions: pictures as PNG files (8-bit RGB)

// Writes the bitmap through a temporary file renamed into place, so a failed write leaves no
// partial file. A symbolic link is written through to its file; a directory, pipe, device or
// read-only file is refused and left alone. E_INVALIDARG for a bad handle or a null path,
// STG_E_PATHNOTFOUND for a missing directory, STG_E_ACCESSDENIED when writing is refused (those
// refusals included), STG_E_MEDIUMFULL when the disk is full,
// STG_E_WRITEFAULT for other I/O failures, E_FAIL when the encoder fails.
KELMIRA_EXTERN_C HRESULT KelmiraSaveBitmapPng(HBITMAP hbm, const char* path);
// Writes the bitmap selected into hdc (or the surface of a window device context).
KELMIRA_EXTERN_C HRESULT KelmiraSaveDCPng(HDC hdc, const char* path);
// Reads a PNG file (any bit depth and colour type libpng can expand to 8-bit RGB) into a new
// top-down DIB section. STG_E_FILENOTFOUND, STG_E_PATHNOTFOUND, STG_E_ACCESSDENIED,
// STG_E_READFAULT, or E_FAIL for a file that is not a valid PNG.
KELMIRA_EXTERN_C HRESULT KelmiraLoadPng(const char* path, HBITMAP* phbm);

// ---------------------------------------------------------------------------------------------
// Kelmira extensions: recordings and vector files

// A recording device context: a memory device context with a width x height bitmap of its own
// selected (white at the start), drawn into exactly like any memory DC (so it also holds the
// raster picture), which in addition keeps every drawing call as a record in device
// coordinates. DeleteDC frees it. Null for sizes outside 1..16384.
KELMIRA_EXTERN_C HDC KelmiraCreateRecordingDC(int width, int height);
// The records so far (-1 for a DC that is not recording).
KELMIRA_EXTERN_C int KelmiraGetRecordCount(HDC recording);
// Replays the records onto target with its origin at (x, y): the pixels become exactly those
// the recording DC's own bitmap got.
KELMIRA_EXTERN_C BOOL KelmiraPlayRecording(HDC recording, HDC target, int x, int y);
// Writes the records as a vector file, format "svg" or "pdf", page widthPt x heightPt points
// (0, 0: the bitmap's size at 96 dpi, 0.75 pt a pixel). Written beside and renamed into place
// (errors as KelmiraSaveBitmapPng: STG_E_PATHNOTFOUND, STG_E_ACCESSDENIED, STG_E_MEDIUMFULL,
// E_INVALIDARG for a bad DC, format or size).
KELMIRA_EXTERN_C HRESULT KelmiraSaveRecording(HDC recording, const char* path, const char* format, double widthPt,
                                              double heightPt);
