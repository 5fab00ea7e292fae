// The mouse side of the editor view: dragging turns, hovering picks, the wheel runs the
// height brush and a right click flips the picked cell's diagonal.
#include "EditWnd.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

bool dragging = false;
short lastMouseX = 0;
short lastMouseY = 0;

namespace
{
const float kAngleLimit = 90.0f;
const float kDragYawStep = 4.0f;
const float kDragPitchStep = 2.0f;
const float kSinglePointStep = 0.01f;

float ClampAngle(float angle)
{
    // Whatever is not at least -90, NaN too, ends at -90.
    return std::max(-kAngleLimit, std::min(angle, kAngleLimit));
}

// -1, 0 or 1: which way a drag went along one axis.
int Direction(short from, short to)
{
    return (to > from) - (to < from);
}

// Height change of one brush position at city-block distance d for radius r: 0.005 at the
// centre, falling linearly and turning negative beyond 5r/3.
float BrushAmount(int d, int r)
{
    const float m = static_cast<float>(2 * d) / static_cast<float>(r);
    return static_cast<float>(0.005 - 0.0015 * m);
}
} // namespace

void CEditWnd::AddYaw(float degrees)
{
    yaw = ClampAngle(yaw + degrees);
}

void CEditWnd::AddPitch(float degrees)
{
    pitch = ClampAngle(pitch + degrees);
}

void CEditWnd::OnLButtonDown(WPARAM, LPARAM lParam)
{
    lastMouseX = GET_X_LPARAM(lParam);
    lastMouseY = GET_Y_LPARAM(lParam);
    dragging = true;
}

void CEditWnd::OnMouseMove(WPARAM, LPARAM lParam)
{
    const short x = GET_X_LPARAM(lParam);
    const short y = GET_Y_LPARAM(lParam);
    // A fixed step per message, whatever the distance moved.
    if (dragging)
    {
        AddYaw(kDragYawStep * Direction(lastMouseX, x));
        AddPitch(kDragPitchStep * Direction(lastMouseY, y));
    }
    lastMouseX = x;
    lastMouseY = y;
    Render(false, x, y, true);
    Render(true, 0, 0, true);
}

void CEditWnd::OnRButtonDown(WPARAM, LPARAM lParam)
{
    Render(false, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), true);
    if (pickedPoint != -1)
        grid.FlipCellDiagonal(pickedPoint, 0);
    Render(true, 0, 0, true);
}

void CEditWnd::OnMouseWheel(WPARAM wParam, LPARAM)
{
    // Only the direction counts: a message for several notches moves like one.
    const bool forward = static_cast<short>(HIWORD(wParam)) > 0;
    if (brushRadius < 1)
    {
        if (forward)
            grid.LowerPoint(pickedPoint, kSinglePointStep, true);
        else
            grid.RaisePoint(pickedPoint, kSinglePointStep, true);
    }
    else if (pickedPoint != -1)
    {
        ApplyBrush(forward);
    }
    Render(true, 0, 0, true);
}

void CEditWnd::ApplyBrush(bool forward)
{
    const int r = brushRadius;
    const std::pair<int, int> centre = grid.IndexToCell(pickedPoint);
    // Read once: the comparisons must not see the picked point move.
    const float h = grid.points[pickedPoint].z;
    for (int j = -r; j < r; ++j)
    {
        for (int i = -r; i < r; ++i)
        {
            const int q = grid.CellToIndex(centre.first + i, centre.second + j);
            if (q < 0)
                continue;
            const float amount = BrushAmount(std::abs(i) + std::abs(j), r);
            const float z = grid.points[q].z;
            if (forward)
            {
                // Pushes down what lies at or above the picked height.
                if (!(h > z))
                    grid.LowerPoint(q, amount, true);
            }
            else if (!(h < z))
            {
                // Lifts what lies at or below it; from height 0 it levels the square at once.
                if (h >= 0.0f)
                    grid.SetPointHeight(q, 0.0f, true);
                else
                    grid.RaisePoint(q, amount, true);
            }
        }
    }
}
