#include "statusControl.h"
#include "commonControls.h"
#include "setupGlobals.h"
#include "resources/resource.h"

static const char statusClass[] = "InstallStatus32";
static const COLORREF GLYPH_BACKGROUND = RGB(0, 255, 255);
enum { GLYPH_SIZE = 12, STATE_INDEX = 0 };
enum { ISM_SETSTATE = WM_USER + 1 };

static const int rowControls[ROW_COUNT] = { IDC_STATUS_EMPTY, IDC_STATUS_COPY, IDC_STATUS_LINKS };
static const int rowLabels[ROW_COUNT] = { IDC_LABEL_EMPTY, IDC_LABEL_COPY, IDC_LABEL_LINKS };

static LRESULT createStatus(HWND control)
{
    HIMAGELIST glyphs = commonControls.loadImageList(instanceHandle, MAKEINTRESOURCEA(IDB_STEP_GLYPHS),
                                                     GLYPH_SIZE, 0, GLYPH_BACKGROUND, IMAGE_BITMAP, 0);
    SetWindowLongPtrA(control, GWLP_USERDATA, (LONG_PTR)glyphs);
    SetWindowLongA(control, STATE_INDEX, STEP_NONE);
    return 0;
}

static void paintStatus(HWND control)
{
    int state = GetWindowLongA(control, STATE_INDEX);
    if (state == STEP_NONE)
        return;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    commonControls.drawImage((HIMAGELIST)GetWindowLongPtrA(control, GWLP_USERDATA), state, dc, 0, 0,
                             ILD_TRANSPARENT);
    EndPaint(control, &paint);
}

static LRESULT setStatus(HWND control, WPARAM state)
{
    SetWindowLongA(control, STATE_INDEX, (LONG)state);
    RedrawWindow(control, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}

static LRESULT CALLBACK statusProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return createStatus(control);
    case WM_DESTROY:
        commonControls.destroyImageList((HIMAGELIST)GetWindowLongPtrA(control, GWLP_USERDATA));
        return 0;
    case WM_PAINT:
        // With no glyph the default handling validates the control, and the
        // class brush has left the button face.
        paintStatus(control);
        break;
    case ISM_SETSTATE:
        return setStatus(control, wParam);
    }
    return DefWindowProcA(control, message, wParam, lParam);
}

void RegisterStatusControl()
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_PARENTDC;
    windowClass.lpfnWndProc = statusProc;
    windowClass.cbWndExtra = sizeof(int);
    windowClass.hInstance = instanceHandle;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = statusClass;
    RegisterClassA(&windowClass);
}

void SetStepState(HWND page, int row, int state)
{
    SendDlgItemMessageA(page, rowControls[row], ISM_SETSTATE, state, 0);
    HWND label = GetDlgItem(page, rowLabels[row]);
    HFONT font = state == STEP_RUNNING ? stepFont : (HFONT)SendMessageA(page, WM_GETFONT, 0, 0);
    SendMessageA(label, WM_SETFONT, (WPARAM)font, FALSE);
    RedrawWindow(label, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    UpdateWindow(page);
}
