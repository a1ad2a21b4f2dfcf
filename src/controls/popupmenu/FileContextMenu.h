#pragma once

class QWidget;
class cImageList;
class cPopupMenu;

// The file list's context menu: its icons and its five items.
//   1 "Preview"           icon 0   key "Preview"
//   2 "Convert - Single"  icon 1   key "ConvertSingle"
//   3 "Convert - Batch"   icon 2   key "ConvertBatch"
//   4 separator           no icon  key ""
//   5 "Delete"            icon 3   key "Delete"
// Typical use in a right-button handler (x, y in twips, relative to the owner):
//   cPopupMenu menu;
//   FileContextMenu::Build(menu, imlMain, this);
//   const int index = menu.ShowPopupMenu(x, y, 0, 0, 0, 0, true);
//   if (index > 0) run the command of menu.ItemKey(index);
class FileContextMenu {
public:
    // Appends the four menu icons (preview, convert single, convert batch, delete) at
    // indexes 0 to 3 of an empty image list.
    static void LoadIcons(cImageList& images);
    // Gives the menu its image list, owner and office look, then adds the five items.
    static void Build(cPopupMenu& menu, cImageList* images, QWidget* owner);
};
