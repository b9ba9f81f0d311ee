#pragma once

#include "AppSettings.h"

class mDatabase;

// What the start-up steps need of the main window: its store to connect, the settings applied
// to it, the trees listed and the last one reopened, and the window shown. The main window
// implements it; start-up never reaches the window in any other way.
class StartupWindow
{
public:
    virtual ~StartupWindow() = default;

    // The store the window works on (step 2 builds its connection, step 3 opens it).
    virtual mDatabase &Store() = 0;
    // Step 1: the placement (twips) and the view options read in step 0.
    virtual void ApplyPlacement(const WindowPlacement &placement) = 0;
    virtual void ApplyViewSettings() = 0;
    // Step 4: lists the trees (the tree box) and reopens the tree open at the last exit.
    virtual void ListTrees() = 0;
    virtual void LoadLastOpen() = 0;
    // Step 5: shows the window; from now on closing it saves the settings. Then tells the user
    // when the database can only be read.
    virtual void ShowStarted() = 0;
    virtual void ShowDataNotice() = 0;
};
