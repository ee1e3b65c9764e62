#pragma once
// The paint cycle and the GDI drawing calls of a captioned top-level
// window, with their Win32 meaning: drawing lands on the window's canvas,
// clipped to the area of the paint in progress.
#include "platform/winsys/win32_types.h"

namespace platform {

// Adds rect (null: the whole client area) to the window's invalid area.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
// A device context clipped to the invalid area, which it then validates.
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
// RDW_UPDATENOW: paints what is still invalid, then shows the canvas.
BOOL RedrawWindow(HWND window, const RECT* rect, void* region, UINT flags);

HGDIOBJ GetStockObject(int object);
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, const char* face);
HGDIOBJ SelectObject(HDC context, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);

int FillRect(HDC context, const RECT* rect, HBRUSH brush);
// A one-pixel outline along the inside of rect.
int FrameRect(HDC context, const RECT* rect, HBRUSH brush);
// Sets one pixel, within the paint's area; returns the colour set, or -1
// outside it.
COLORREF SetPixel(HDC context, int x, int y, COLORREF colour);
// Format 0 only: left-aligned from the top of box, a line per '\n', no
// wrapping, clipped to box. Returns the height of the text.
int DrawTextA(HDC context, const char* text, int length, RECT* box, UINT format);
// 24-bit BI_RGB images drawn whole; returns the scan lines drawn, 0 for
// any other image.
int SetDIBitsToDevice(HDC context, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info,
                      UINT colorUse);

}  // namespace platform
