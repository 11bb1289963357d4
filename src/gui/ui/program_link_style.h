#pragma once

class TLumoImageList;
class TLumo_Link_Style;
class TLumo_TLink_Settings;

// A link style that a window keeps for its own links, in the program's three
// link colours (under the mouse, at rest, disabled). It is removed with its
// owner unless the registry released it first.
class TProgramLinkStyle {
public:
    explicit TProgramLinkStyle(const TLumoImageList* images = nullptr);
    ~TProgramLinkStyle();
    TProgramLinkStyle(const TProgramLinkStyle&) = delete;
    TProgramLinkStyle& operator=(const TProgramLinkStyle&) = delete;

    TLumo_Link_Style* Style() const { return fStyle; }

private:
    TLumo_Link_Style* fStyle;
    TLumo_TLink_Settings* fRegistry;
};
