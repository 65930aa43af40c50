#pragma once

#include "host/sdk/MaxSdk.h"

#include <QColor>

#include <vector>

struct PickerRecord;

// The colour as 3ds Max takes it: red | green << 8 | blue << 16.
DWORD colorRefOf(const QColor &colour);

// An in-memory extended dialog template without controls whose client area is
// 800 × 600 pixels: visible at `position` for a modal picker, hidden at (128, 128)
// for a modeless one.
std::vector<WORD> pickerDialogTemplate(bool modal, IPoint2 position);

// The dialog procedure shared by modal and modeless pickers.
INT_PTR pickerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The record kept by a picker dialog; null for a window without one.
PickerRecord *pickerRecordOf(HWND dialog);

// Hands a picked colour to the picker of `dialog`: ends a modal picker, sends an object
// colour to the owner, or reports it through the host's callback.
void deliverPickedColour(HWND dialog, DWORD value);

// Where a picker window of `dialog`'s size goes when the host asks for `requested`:
// there, unless too little of its title bar would be on any screen to take it with the
// pointer; then as close to it as fits on the nearest screen.
IPoint2 reachablePickerPosition(HWND dialog, IPoint2 requested);

// The message a modeless object-colour picker sends its owner with the colour.
constexpr UINT ObjectColorMessage = 0x0D11;
