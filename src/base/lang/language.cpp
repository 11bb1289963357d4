#include "lang/language.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<TLanguage*> gInstalledLanguage{nullptr};

TLanguage& DefaultLanguage() {
    static TLanguage language;
    return language;
}

bool IsValidKey(Lng key) {
    const int index = static_cast<int>(key);
    return index >= 0 && index < kLngCount;
}

// The installed language; nullptr while the default instance is in use.
TLanguage* InstalledLanguage() { return gInstalledLanguage.load(std::memory_order_acquire); }

} // namespace

const QString& TLanguage::Text(Lng key) const {
    static const QString kEmpty;
    return IsValidKey(key) ? fTexts[static_cast<size_t>(key)] : kEmpty;
}

QString TLanguage::TextCopy(Lng key) const {
    if (!IsValidKey(key))
        return {};
    std::shared_lock lock(fLock);
    return fTexts[static_cast<size_t>(key)];
}

void TLanguage::SetText(Lng key, const QString& text) {
    if (!IsValidKey(key))
        return;
    std::unique_lock lock(fLock);
    fTexts[static_cast<size_t>(key)] = text;
}

void TLanguage::Clear() {
    std::unique_lock lock(fLock);
    for (QString& text : fTexts)
        text.clear();
}

TLanguage& TLanguage::Current() {
    TLanguage* installed = InstalledLanguage();
    return installed ? *installed : DefaultLanguage();
}

void TLanguage::SetCurrent(TLanguage* language) { gInstalledLanguage.store(language, std::memory_order_release); }

TScopedCurrentLanguage::TScopedCurrentLanguage(TLanguage& language) : fPrevious(InstalledLanguage()) {
    TLanguage::SetCurrent(&language);
}

TScopedCurrentLanguage::~TScopedCurrentLanguage() { TLanguage::SetCurrent(fPrevious); }

QString LngText(Lng key) { return TLanguage::Current().TextCopy(key); }
