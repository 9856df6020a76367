// INI files: sections of "name=value" lines, names matched without regard to case. Every
// write goes to the file at once; reads see the file as it is on disk. A missing file
// reads as empty; one that cannot be written raises EIniFileException.
#pragma once

#include "platform/base/Interfaces.h"
#include "platform/base/SysUtils.h"

#include <string>
#include <vector>

namespace dcs {

DCS_DECLARE_EXCEPTION(EIniFileException, Exception);

class TIniFile : public TObject {
public:
    explicit TIniFile(std::string FileName);

    const std::string& FileName() const { return FFileName; }
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    // A value that is no integer (decimal or $hex) reads as Default.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    // "0" is false, any other integer true; anything else reads as Default.
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    bool SectionExists(const std::string& Section) const;
    bool ValueExists(const std::string& Section, const std::string& Ident) const;
    std::vector<std::string> ReadSection(const std::string& Section) const;  // the names
    std::vector<std::string> ReadSections() const;
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);

private:
    struct TEntry {
        std::string Name, Value;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };
    std::vector<TSection> Load() const;
    void Save(const std::vector<TSection>& Sections) const;
    std::string FFileName;
};

}  // namespace dcs
