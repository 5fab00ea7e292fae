// The keyboard commands of the editor view.
#include "EditWnd.h"
#include "ModelFile.h"

namespace
{
const float kKeyTurn = 10.0f;
// The code after '9' (the colon's code) picks the single-point brush.
const WPARAM kSinglePointKey = 0x3A;
} // namespace

void CEditWnd::OnKeyDown(WPARAM wParam, LPARAM)
{
    switch (wParam)
    {
    case VK_LEFT:
        AddYaw(kKeyTurn);
        break;
    case VK_UP:
        AddPitch(-kKeyTurn);
        break;
    case VK_RIGHT:
        AddYaw(-kKeyTurn);
        break;
    case VK_DOWN:
        AddPitch(kKeyTurn);
        break;
    case '1':
        wireframe = 0;
        break;
    case '2':
        wireframe = 1;
        break;
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9':
        // Each digit gives a radius one less than itself: 3 gives 2, 9 gives 8.
        brushRadius = static_cast<int>(wParam - '1');
        break;
    case kSinglePointKey:
        brushRadius = 0;
        break;
    case 'L':
        // A failed or short load keeps the old picture until the next redraw.
        if (!LoadModel(grid))
            return;
        break;
    case 'S':
        if (!SaveModel(grid))
            return;
        break;
    default:
        break;
    }
    Render(true, 0, 0, true);
}
