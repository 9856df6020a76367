// An INI file as the fill reads and writes its keys.
#pragma once

#include "platform/base/IniFiles.h"
#include "ui/controls/GDIPFill.h"

namespace dcs::smooth {

class TIniFillFile : public TFillIniFile {
public:
    explicit TIniFillFile(TIniFile& Ini) : FIni(Ini) {}
    int ReadInteger(const std::string& S, const std::string& K, int D) override { return FIni.ReadInteger(S, K, D); }
    void WriteInteger(const std::string& S, const std::string& K, int V) override { FIni.WriteInteger(S, K, V); }
    std::string ReadString(const std::string& S, const std::string& K, const std::string& D) override
    {
        return FIni.ReadString(S, K, D);
    }
    void WriteString(const std::string& S, const std::string& K, const std::string& V) override
    {
        FIni.WriteString(S, K, V);
    }

private:
    TIniFile& FIni;
};

}  // namespace dcs::smooth
