#pragma once

#include "ini/ini_document.h"
#include "ini/ini_values.h"
#include "util/date_time.h"
#include "util/text_format.h"

#include <QString>

#include <initializer_list>
#include <variant>
#include <vector>

// The plain settings a kind keeps in one section, each written down once: its
// key, the member of the settings record the reader fills, the getter of the
// object the writer stores, the value a missing or unreadable key gives and,
// for numbers, the range outside of which the object takes the default
// instead. The reader keeps what the file says; the object corrects it.
template <typename Record, typename Object>
class TIniFields {
public:
    struct TBool {
        bool Record::*Member;
        bool (Object::*Get)() const;
        bool Default;
    };
    struct TInt {
        int Record::*Member;
        int (Object::*Get)() const;
        int Default;
        int Min;
        int Max;
    };
    struct TText {
        QString Record::*Member;
        const QString& (Object::*Get)() const;
    };
    struct TStamp {
        TDateTime Record::*Member;
        TDateTime (Object::*Get)() const;
    };
    // A value with a stored form of its own (an encoded password, an
    // enumeration kept as a number): its reader and writer.
    struct TCustom {
        void (*Read)(const IniDocument& ini, const QString& section, const QString& key, Record& record);
        void (*Write)(IniDocument& ini, const QString& section, const QString& key, const Object& object);
    };
    struct TField {
        QString Key;
        std::variant<TBool, TInt, TText, TStamp, TCustom> Value;
    };

    // In the order the writer sets them.
    TIniFields(std::initializer_list<TField> fields) : fFields(fields) {}

    void Read(const IniDocument& ini, const QString& section, Record& record) const {
        for (const TField& field : fFields) {
            if (const auto* b = std::get_if<TBool>(&field.Value))
                record.*b->Member = IniReadBool(ini, section, field.Key, b->Default);
            else if (const auto* i = std::get_if<TInt>(&field.Value))
                record.*i->Member = IniReadInteger(ini, section, field.Key, i->Default);
            else if (const auto* t = std::get_if<TText>(&field.Value))
                record.*t->Member = IniReadString(ini, section, field.Key);
            else if (const auto* s = std::get_if<TStamp>(&field.Value))
                record.*s->Member = IniReadDateTime(ini, section, field.Key);
            else if (const auto* c = std::get_if<TCustom>(&field.Value))
                c->Read(ini, section, field.Key, record);
        }
    }

    void Write(IniDocument& ini, const QString& section, const Object& object) const {
        for (const TField& field : fFields) {
            if (const auto* b = std::get_if<TBool>(&field.Value))
                IniWriteBool(ini, section, field.Key, (object.*b->Get)());
            else if (const auto* i = std::get_if<TInt>(&field.Value))
                IniWriteInteger(ini, section, field.Key, (object.*i->Get)());
            else if (const auto* t = std::get_if<TText>(&field.Value))
                ini.SetValue(section, field.Key, (object.*t->Get)());
            else if (const auto* s = std::get_if<TStamp>(&field.Value))
                IniWriteDateTime(ini, section, field.Key, (object.*s->Get)());
            else if (const auto* c = std::get_if<TCustom>(&field.Value))
                c->Write(ini, section, field.Key, object);
        }
    }

    // The number of member in range, else its default: what the object keeps.
    int Clamped(int Record::*member, int value) const {
        for (const TField& field : fFields)
            if (const auto* i = std::get_if<TInt>(&field.Value); i && i->Member == member)
                return ClampOrDefault(value, i->Min, i->Max, i->Default);
        return value;
    }

private:
    std::vector<TField> fFields;
};
