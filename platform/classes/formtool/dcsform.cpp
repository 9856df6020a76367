// dcsform: converts stored windows between their text form and the binary component
// stream, and turns a text form file into C++ source that embeds it as a resource.
//
//   dcsform text2bin IN OUT
//   dcsform bin2text IN OUT
//   dcsform embed CLASSNAME IN OUT.cpp    (registers the binary stream for CLASSNAME and
//                                          defines dcs::forms::Link_CLASSNAME(), which a
//                                          form's own source calls so the linker keeps it)
#include "platform/base/Streams.h"
#include "platform/classes/TextForm.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadFile(const char* Name)
{
    std::ifstream f(Name, std::ios::binary);
    if (!f)
        throw std::runtime_error(std::string("cannot read ") + Name);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteFile(const char* Name, const std::string& Data)
{
    std::ofstream f(Name, std::ios::binary);
    if (!f.write(Data.data(), std::streamsize(Data.size())))
        throw std::runtime_error(std::string("cannot write ") + Name);
}

std::string TextToBinary(const std::string& Text)
{
    dcs::TMemoryStream bin;
    dcs::ObjectTextToBinary(Text, bin);
    return std::string(static_cast<const char*>(bin.Memory()), size_t(bin.Size()));
}

std::string Embed(const std::string& ClassName, const std::string& Binary)
{
    std::ostringstream o;
    o << "// Made by dcsform from the text form of " << ClassName << "; do not edit.\n"
      << "#include \"platform/classes/Resources.h\"\n\n"
      << "namespace {\nconst unsigned char kData[] = {";
    for (size_t i = 0; i < Binary.size(); ++i)
        o << (i % 16 ? " " : "\n    ") << unsigned(static_cast<unsigned char>(Binary[i])) << ",";
    o << "\n};\n"
      << "const bool kRegistered = [] {\n"
      << "    dcs::RegisterComponentResourceData(\"" << ClassName
      << "\", std::string(reinterpret_cast<const char*>(kData), sizeof kData));\n"
      << "    return true;\n}();\n}  // namespace\n\n"
      << "namespace dcs::forms {\nbool Link_" << ClassName << "() { return kRegistered; }\n}\n";
    return o.str();
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        std::string cmd = argc > 1 ? argv[1] : "";
        if (cmd == "text2bin" && argc == 4) {
            WriteFile(argv[3], TextToBinary(ReadFile(argv[2])));
        } else if (cmd == "bin2text" && argc == 4) {
            std::string bin = ReadFile(argv[2]);
            dcs::TMemoryStream s;
            s.WriteBuffer(bin.data(), int64_t(bin.size()));
            s.SetPosition(0);
            WriteFile(argv[3], dcs::ObjectBinaryToText(s));
        } else if (cmd == "embed" && argc == 5) {
            WriteFile(argv[4], Embed(argv[2], TextToBinary(ReadFile(argv[3]))));
        } else {
            std::fprintf(stderr, "usage: dcsform text2bin IN OUT | bin2text IN OUT | embed CLASSNAME IN OUT.cpp\n");
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dcsform: %s\n", e.what());
        return 1;
    }
    return 0;
}
