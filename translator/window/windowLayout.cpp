#include "windowLayout.h"
#include "resource.h"
#include "settingsStore.h"

// Distance of the bottom row's top from the client area's bottom edge.
enum { BOTTOM_ROW = 30, ABORT_GAP = 10 };

// Any narrower and Translate would cover the To list.
enum { MINIMUM_WINDOW_WIDTH = 474, MINIMUM_WINDOW_HEIGHT = 387 };

static const char windowPositionValue[] = "WindowPos";

static RECT controlRect(HWND window, int id)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(window, id), &rect);
    MapWindowPoints(0, window, (POINT*)&rect, 2);
    return rect;
}

static void moveControl(HWND window, int id, int left, int top, int width, int height)
{
    MoveWindow(GetDlgItem(window, id), left, top, width, height, TRUE);
}

static void stretchAcross(HWND window, int id, int width)
{
    RECT r = controlRect(window, id);
    moveControl(window, id, r.left, r.top, width - 2 * r.left, r.bottom - r.top);
}

static void moveToBottomRow(HWND window, int id, int left, int height)
{
    RECT r = controlRect(window, id);
    moveControl(window, id, left, height - BOTTOM_ROW, r.right - r.left, r.bottom - r.top);
}

void layoutControls(HWND window, int width, int height)
{
    stretchAcross(window, IDC_SEPARATOR, width);

    RECT result = controlRect(window, IDC_RESULT);
    moveControl(window, IDC_RESULT, result.left, result.top, width - 2 * result.left,
                height - result.top - result.left - BOTTOM_ROW);

    stretchAcross(window, IDC_INPUT, width);
    int margin = controlRect(window, IDC_INPUT).left;

    RECT translate = controlRect(window, IDC_TRANSLATE);
    moveControl(window, IDC_TRANSLATE, width - margin - (translate.right - translate.left), translate.top,
                translate.right - translate.left, translate.bottom - translate.top);

    RECT swap = controlRect(window, IDC_SWAP);
    RECT abort = controlRect(window, IDC_ABORT);
    int swapLeft = width - margin - (swap.right - swap.left);
    int abortLeft = swapLeft - (abort.right - abort.left) - ABORT_GAP;
    // Move first the button that goes away from the other, so that the two
    // never overlap on the way.
    if (abortLeft < abort.left) {
        moveToBottomRow(window, IDC_ABORT, abortLeft, height);
        moveToBottomRow(window, IDC_SWAP, swapLeft, height);
    } else {
        moveToBottomRow(window, IDC_SWAP, swapLeft, height);
        moveToBottomRow(window, IDC_ABORT, abortLeft, height);
    }

    moveToBottomRow(window, IDC_STATUS_LABEL, controlRect(window, IDC_STATUS_LABEL).left, height);
    moveToBottomRow(window, IDC_STATUS_LINE, controlRect(window, IDC_STATUS_LINE).left, height);
}

void setMinimumSize(MINMAXINFO* limits)
{
    limits->ptMinTrackSize.x = MINIMUM_WINDOW_WIDTH;
    limits->ptMinTrackSize.y = MINIMUM_WINDOW_HEIGHT;
}

void storeWindowPosition(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    if (GetWindowLongA(window, GWL_STYLE) & (WS_MINIMIZE | WS_MAXIMIZE))
        return;
    LONG position[2] = { rect.left, rect.top };
    writeBinaryValue(settingsKey, windowPositionValue, position, sizeof position);
}

void restoreWindowPosition(HWND window)
{
    LONG position[2];
    DWORD size = sizeof position;
    if (!readBinaryValue(settingsKey, windowPositionValue, position, &size) || size != sizeof position)
        return;
    RECT rect;
    GetWindowRect(window, &rect);
    MoveWindow(window, position[0], position[1], rect.right - rect.left, rect.bottom - rect.top, FALSE);
    // Its monitor may have gone, or changed its resolution, since. The
    // window's size is read again: moving it applies its smallest size.
    GetWindowRect(window, &rect);
    RECT area = workAreaNear(rect);
    RECT shown;
    if (IntersectRect(&shown, &rect, &area))
        return;
    moveInto(&rect, area);
    SetWindowPos(window, 0, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT workAreaNear(const RECT& rect)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    return monitor.rcWork;
}

// The start of a span of length within [first, last), its left end first.
static LONG startInside(LONG start, LONG length, LONG first, LONG last)
{
    if (start > last - length)
        start = last - length;
    return start < first ? first : start;
}

void moveInto(RECT* rect, const RECT& area)
{
    OffsetRect(rect, startInside(rect->left, rect->right - rect->left, area.left, area.right) - rect->left,
               startInside(rect->top, rect->bottom - rect->top, area.top, area.bottom) - rect->top);
}
