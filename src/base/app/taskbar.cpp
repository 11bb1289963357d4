#include "app/taskbar.h"

#include "app/app_context.h"
#include "lang/language.h"

#include <algorithm>

TJumpList BuildJumpList(const TAppContext& context) {
    TJumpList list;
    const TLanguage& language = context.Language;
    list.CategoryNames = {language.Text(Lng::lng_MF_miNewSync), language.Text(Lng::lng_MF_miNewZip),
                          language.Text(Lng::lng_MF_miNewFolderZip)};
    constexpr size_t kPerCategory = 3;
    const auto& profiles = context.Profiles();
    for (auto it = profiles.rbegin(); it != profiles.rend(); ++it) {
        const TLumo_BackupProfile& profile = **it;
        if (profile.Kind() == TBackupClass::bcNone)
            continue;
        auto& category = list.Categories[static_cast<size_t>(profile.Kind())];
        if (category.size() < kPerCategory)
            category.push_back(TJumpListItem{profile.Title(), QLatin1Char('/') + profile.UID()});
        if (std::all_of(list.Categories.begin(), list.Categories.end(),
                        [](const auto& c) { return c.size() >= kPerCategory; }))
            break;
    }
    return list;
}
