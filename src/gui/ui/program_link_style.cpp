#include "gui/ui/program_link_style.h"

#include "gui/ui/link_controls.h"

TProgramLinkStyle::TProgramLinkStyle(const TLumoImageList* images)
    : fStyle(new TLumo_Link_Style(images)), fRegistry(fStyle->pRegistry) {
    fStyle->SetLabelColors(QColor(0, 102, 204), QColor(0, 70, 140), QColor(140, 140, 140));
}

TProgramLinkStyle::~TProgramLinkStyle() {
    if (fRegistry->lst_Styles.contains(fStyle))
        fStyle->Remove();
}
