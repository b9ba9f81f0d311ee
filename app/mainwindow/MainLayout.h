#pragma once

// Where the main window puts its chart and information panel. All values are twips; the
// window converts with its twips per pixel.
struct MainLayoutInput
{
    int innerWidth = 0;
    int innerHeight = 0;
    int twipsPerPixel = 15;
    bool showToolBar = true;
    bool showStatusBar = true;
    bool showInfo = false;
    int toolBarHeight = 0;
    int statusBarHeight = 0;
    int infoWidth = 0;
    // The information panel's height, the top of its notes frame inside the panel and the top
    // of the notes box inside the frame.
    int infoHeight = 0;
    int notesFrameTop = 0;
    int notesBoxTop = 0;
};

struct MainLayoutResult
{
    int chartLeft = 0;
    int chartTop = 0;
    int chartWidth = 0;
    int chartHeight = 0;
    bool infoVisible = false;
    // The notes frame and box stretch with a tall window (inner height above 9360 twips).
    bool stretchNotes = false;
    int notesFrameHeight = 0;
    int notesBoxHeight = 0;
};

// The window's inner height above which the notes frame of the information panel stretches.
constexpr int kNotesStretchHeight = 9360;

MainLayoutResult ComputeMainLayout(const MainLayoutInput &in);
