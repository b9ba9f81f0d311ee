#include "MainLayout.h"

#include <algorithm>

MainLayoutResult ComputeMainLayout(const MainLayoutInput &in)
{
    const int t = in.twipsPerPixel;
    MainLayoutResult out;
    const int top = in.showToolBar ? in.toolBarHeight : 0;
    const int height = in.innerHeight - top - (in.showStatusBar ? in.statusBarHeight : 0) - t;
    int width = in.innerWidth;
    if (in.showInfo) {
        width = in.innerWidth - in.infoWidth;
        if (in.innerHeight > kNotesStretchHeight) {
            out.stretchNotes = true;
            out.notesFrameHeight = in.infoHeight - in.notesFrameTop - 10 * t;
            out.notesBoxHeight = out.notesFrameHeight - in.notesBoxTop - 10 * t;
        }
        out.infoVisible = true;
    }
    out.chartLeft = 0;
    out.chartTop = top;
    out.chartWidth = std::max(0, width - 2 * t);
    out.chartHeight = std::max(0, height);
    return out;
}
