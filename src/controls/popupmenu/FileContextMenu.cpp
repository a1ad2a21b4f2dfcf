#include "FileContextMenu.h"

#include "cImageList.h"
#include "cPopupMenu.h"

void FileContextMenu::LoadIcons(cImageList& images) {
    for (const char* name : {"preview", "convert-single", "convert-batch", "delete"}) {
        images.AddFromFile(QStringLiteral(":/menu/%1.png").arg(QLatin1String(name)));
    }
}

void FileContextMenu::Build(cPopupMenu& menu, cImageList* images, QWidget* owner) {
    menu.setImageList(images);
    menu.sethWndOwner(owner);
    menu.setOfficeXpStyle(true);
    menu.AddItem("Preview", "", 0, 0, 0, false, true, "Preview");
    menu.AddItem("Convert - Single", "", 0, 0, 1, false, true, "ConvertSingle");
    menu.AddItem("Convert - Batch", "", 0, 0, 2, false, true, "ConvertBatch");
    menu.AddItem("-", "", 0, 0, -1, false, true, "");
    menu.AddItem("Delete", "", 0, 0, 3, false, true, "Delete");
}
