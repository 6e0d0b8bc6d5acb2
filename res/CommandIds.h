#pragma once

// Command ids that the application framework itself answers: file,
// window and application commands, the recent-file entries, the dialog
// buttons. The map window's and the main window's own ids stand in the
// tables of the menus and toolbars beside this file.
enum CommandId : int {
    kIdOk = 1,
    kIdCancel = 2,

    kCmdFileNew = 57600,
    kCmdFileOpen = 57601,
    kCmdFileClose = 57602,
    kCmdFileSave = 57603,
    kCmdFileSaveAs = 57604,
    kCmdFilePrintSetup = 57606,
    kCmdFilePrint = 57607,
    kCmdFilePrintDirect = 57608,
    kCmdFilePrintPreview = 57609,
    // The recent-file entries, the first one also the menu's list item.
    kCmdFileRecentFirst = 57616,
    kCmdFileRecentLast = 57623,
    kCmdEditCopy = 57634,
    kCmdWindowCascade = 57650,
    kCmdWindowTile = 57651,
    kCmdAppAbout = 57664,
    kCmdAppExit = 57665,
    kCmdHelp = 57667,
    kCmdWindowNext = 57680,
};

// How many recent files the File menu lists.
constexpr int kRecentFileCount = kCmdFileRecentLast - kCmdFileRecentFirst + 1;
