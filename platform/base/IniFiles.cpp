#include "platform/base/IniFiles.h"

#include "platform/base/Strings.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace dcs {

namespace {

std::string Trim(const std::string& S)
{
    size_t b = S.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    size_t e = S.find_last_not_of(" \t\r\n");
    return S.substr(b, e - b + 1);
}

template <class V> auto FindNamed(V& List, const std::string& Name)
{
    return std::find_if(List.begin(), List.end(), [&](const auto& x) { return SameText(x.Name, Name); });
}

}  // namespace

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)) {}

std::vector<TIniFile::TSection> TIniFile::Load() const
{
    std::vector<TSection> out;
    std::ifstream f(FFileName, std::ios::binary);
    std::string line;
    while (std::getline(f, line)) {
        std::string t = Trim(line);
        if (t.empty() || t[0] == ';')
            continue;
        if (t.front() == '[' && t.back() == ']') {
            out.push_back({Trim(t.substr(1, t.size() - 2)), {}});
            continue;
        }
        size_t eq = t.find('=');
        if (eq == std::string::npos || out.empty())
            continue;
        out.back().Entries.push_back({Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))});
    }
    return out;
}

void TIniFile::Save(const std::vector<TSection>& Sections) const
{
    std::ofstream f(FFileName, std::ios::binary | std::ios::trunc);
    for (size_t i = 0; i < Sections.size(); ++i) {
        if (i)
            f << "\r\n";
        f << '[' << Sections[i].Name << "]\r\n";
        for (const auto& e : Sections[i].Entries)
            f << e.Name << '=' << e.Value << "\r\n";
    }
    if (!f.flush())
        throw EIniFileException("Unable to write to " + FFileName);
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const
{
    auto all = Load();
    auto s = FindNamed(all, Section);
    if (s == all.end())
        return Default;
    auto e = FindNamed(s->Entries, Ident);
    return e == s->Entries.end() ? Default : e->Value;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value)
{
    auto all = Load();
    auto s = FindNamed(all, Section);
    if (s == all.end()) {
        all.push_back({Section, {}});
        s = all.end() - 1;
    }
    auto e = FindNamed(s->Entries, Ident);
    if (e == s->Entries.end())
        s->Entries.push_back({Ident, Value});
    else
        e->Value = Value;
    Save(all);
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const
{
    std::string v = ReadString(Section, Ident, "");
    if (v.empty())
        return Default;
    const char* p = v.c_str();
    int base = 10;
    if (*p == '$') {
        ++p;
        base = 16;
    } else if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        p += 2;
        base = 16;
    }
    char* end = nullptr;
    long r = std::strtol(p, &end, base);
    return (end && *end == 0 && end != p) ? static_cast<int>(r) : Default;
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value)
{
    WriteString(Section, Ident, std::to_string(Value));
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value)
{
    WriteString(Section, Ident, Value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& Section) const
{
    auto all = Load();
    return FindNamed(all, Section) != all.end();
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const
{
    auto all = Load();
    auto s = FindNamed(all, Section);
    return s != all.end() && FindNamed(s->Entries, Ident) != s->Entries.end();
}

std::vector<std::string> TIniFile::ReadSection(const std::string& Section) const
{
    std::vector<std::string> out;
    auto all = Load();
    if (auto s = FindNamed(all, Section); s != all.end())
        for (const auto& e : s->Entries)
            out.push_back(e.Name);
    return out;
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> out;
    for (const auto& s : Load())
        out.push_back(s.Name);
    return out;
}

void TIniFile::EraseSection(const std::string& Section)
{
    auto all = Load();
    std::erase_if(all, [&](const TSection& s) { return SameText(s.Name, Section); });
    Save(all);
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident)
{
    auto all = Load();
    if (auto s = FindNamed(all, Section); s != all.end()) {
        std::erase_if(s->Entries, [&](const TEntry& e) { return SameText(e.Name, Ident); });
        Save(all);
    }
}

}  // namespace dcs
