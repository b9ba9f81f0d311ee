#pragma once

#include "SettingsFiles.h"

#include <QString>

// The process-wide values of the program: created once in main and handed to the windows.
// There are no mutable globals; whoever needs one of these values gets this object. The open
// tree (CurrentTree, People, SelectedKey) has an owner of its own, OpenTree; the view options
// below are written only by theirs, ViewOptions. What a dialog or the edit window returns is
// its own (dlgNew::NewTreeName, dlgOpen::OpenTreeName, dlgModify::ModifyOldName and
// ModifyNewName, frmEdit::EditMode), not a value here.
struct AppState
{
    // Paths. ProgramPath is the folder of the executable; DataPath the data folder with one
    // trailing '/'; DatabasePath the database file in it; ConnectionString the descriptive
    // connection text built from them (see mDatabase::BuildConnectionString).
    QString ProgramPath;
    QString DataPath;
    QString DatabasePath;
    QString ConnectionString;

    // The two settings files standing in for the user key and the machine key (see
    // DataFolder.h for where they are kept), and the one path by which settings are read and
    // written.
    QString UserSettingsFile;
    QString MachineSettingsFile;
    SettingsFiles Settings;

    // Screen and view settings, read at start-up and written at exit.
    int TwipsPerPixel = 15;
    bool ShowToolBar = true;
    bool ShowStatusBar = true;
    bool ShowInfo = false;
    QString LastOpen;
    // The family's shared database in use (its address in the keyword form, never a password);
    // empty: the data folder's database.
    QString SharedDatabase;
    // The shared database whose password this user keeps in the desktop keyring (its address in
    // the keyword form, the password only in the keyring); the connect dialog offers it again
    // after File > Use Local Database. Empty: none.
    QString SharedKeyringAddress;
    // This computer's own path to the photo folder of a shared database (mount points differ),
    // and the database it is for (PasswordKeyring-style entry: user@host:port/database). Empty:
    // the folder the database names.
    QString SharedPhotoFolder;
    QString SharedPhotoFolderFor;
    int Version = 23;
};

// The settings version this program writes.
constexpr int kSettingsVersion = 23;

// The screen's twips per pixel: 1440 / logical DPI (15 at 96 DPI); 15 without a screen.
int ScreenTwipsPerPixel();
