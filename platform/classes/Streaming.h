// The binary component stream: a root component, its properties and the components it
// contains, written by TWriter and read back by TReader. Value codes 0 (end of list),
// 1 (list), 5 (10-byte extended) and 7 (identifier with a length byte) are shared with
// the stored forms that components define themselves; the rest are this format's own.
//
// Layout: the signature "DCF0", then one object:
//   object  = ClassName:str Name:str { PropName:str value } 0 { object } 0
//   str     = length byte, UTF-8 bytes (identifiers and names)
// Integers, strings, lengths and floats are little-endian.
#pragma once

#include "platform/base/Streams.h"
#include "platform/classes/Classes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dcs {

enum TValueType : uint8_t {
    vaNull = 0,  // end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,  // 10 bytes, x87 80-bit
    vaString = 6,    // 32-bit length, UTF-8
    vaIdent = 7,     // length byte, identifier
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,  // 32-bit length, bytes
    vaSet = 11,     // element names (length byte each), then an empty name
    vaNil = 12,
    vaCollection = 13,  // items as lists of properties, then 0
    vaInt64 = 14,
};
constexpr uint8_t kLastValueType = vaInt64;
const char* ValueTypeName(TValueType V);

inline constexpr char kFormSignature[4] = {'D', 'C', 'F', '0'};
// Deeper nesting of components or values is taken for a malformed stream.
inline constexpr int kMaxStreamNesting = 200;

// Counts one level of nesting for as long as it lives; raises EReadError past the limit.
class TNestingGuard {
public:
    explicit TNestingGuard(int& Depth) : FDepth(Depth)
    {
        if (++FDepth > kMaxStreamNesting) {
            --FDepth;
            throw EReadError("Stored values are nested more than " + std::to_string(kMaxStreamNesting) +
                             " levels deep");
        }
    }
    ~TNestingGuard() { --FDepth; }
    TNestingGuard(const TNestingGuard&) = delete;
    TNestingGuard& operator=(const TNestingGuard&) = delete;

private:
    int& FDepth;
};

using TReaderProc = std::function<void(TReader&)>;
using TWriterProc = std::function<void(TWriter&)>;
using TStreamProc = std::function<void(TStream&)>;

// What DefineProperties sees: a reader or a writer.
class TFiler : public TObject {
public:
    explicit TFiler(TStream& Stream) : FStream(Stream) {}

    // A property the object stores itself. The reader calls ReadData when the stream
    // holds a property of that name; the writer calls WriteData when HasData.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    // The same for raw bytes, handed over as a stream.
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

    TStream& Stream() const { return FStream; }
    TComponent* Root() const { return FRoot; }

protected:
    TStream& FStream;
    TComponent* FRoot = nullptr;
};

// Finds a component outside the root being read ("Form2" of "Form2.btn"); the
// application installs one that knows its forms.
using TFindGlobalComponent = std::function<TComponent*(std::string_view Name)>;
void SetFindGlobalComponent(TFindGlobalComponent Find);
TComponent* FindGlobalComponent(std::string_view Name);

class TReader : public TFiler {
public:
    explicit TReader(TStream& Stream) : TFiler(Stream) {}

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    // Reads a whole stored root. With Root null the root is created from its stored
    // class; otherwise the stream is read into Root (which keeps its name when it has
    // one). After the tree is read, component references and event handlers are bound
    // by name, then every component read gets Loaded, root first, in stream order.
    TComponent* ReadRootComponent(TComponent* Root);
    // Reads one stored component as a child of the current owner and parent.
    TComponent* ReadComponent();
    // Properties, then nested components, of Instance (TComponent::ReadState calls it).
    void ReadData(TComponent* Instance);
    void ReadProperty(TPersistent* Instance);
    void ReadCollection(TCollection* Collection);

    TValueType ReadValue();
    TValueType NextValue();
    // True at the end marker. What follows may be a value or a length-prefixed name
    // (property, class), so the byte is not checked as a value code here.
    bool EndOfList();
    void ReadListBegin();
    void ReadListEnd();
    void CheckValue(TValueType Expected);
    void ReadSignature();

    int32_t ReadInteger();
    int64_t ReadInt64();
    long double ReadFloat();
    std::string ReadString();
    // Identifiers; True, False and nil read as those words.
    std::string ReadIdent();
    bool ReadBoolean();
    // A set as a bit mask over Elements' ordinals.
    uint64_t ReadSet(const TEnumInfo& Elements);
    std::vector<uint8_t> ReadBinary();
    // Skips one value of any kind.
    void SkipValue();
    // A short string: length byte, bytes.
    std::string ReadStr();

    TComponent* Owner() const { return FOwner; }
    TComponent* Parent() const { return FParent; }
    // The property being read, for messages ("sg1.Frequency").
    const std::string& PropName() const { return FPropName; }

private:
    struct TFixup {
        TComponent* Component;  // owner of the property (for messages and events)
        TPersistent* Instance;  // object that publishes it
        const TPropInfo* Prop;
        std::string Name;
        std::string Path;
    };

    [[noreturn]] void Error(const std::string& Message);
    [[noreturn]] void ValueError(TValueType Found, const char* Expected);
    void ReadPropValue(TPersistent* Instance, const TPropInfo& Prop);
    void ReadBytes(void* Buffer, int64_t Count);
    uint32_t ReadLength(const char* What);
    TComponent* ResolveReference(const std::string& Name) const;
    void FixupReferences();
    void ForgetComponent(TComponent* C);

    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    TComponent* FCurrent = nullptr;
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
    std::string FPropName;  // name sought by DefineProperty
    std::string FPropPath;  // full dotted path for messages
    bool FHandled = false;
    int FPropDepth = 0;
    int FNesting = 0;
};

class TWriter : public TFiler {
public:
    explicit TWriter(TStream& Stream) : TFiler(Stream) {}

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                        bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc& WriteData,
                              bool HasData) override;

    void WriteRootComponent(TComponent* Root);
    void WriteComponent(TComponent* Component);
    // Header, properties and children of Instance (TComponent::WriteState calls it).
    void WriteData(TComponent* Instance);
    // Published properties not at their default, then the defined ones.
    void WriteProperties(TPersistent* Instance);
    void WriteCollection(TCollection* Collection);

    void WriteSignature();
    void WriteListBegin();
    void WriteListEnd();
    void WriteInteger(int64_t Value);
    // Always the 10-byte extended form.
    void WriteFloat(long double Value);
    void WriteString(std::string_view Value);
    // True, False and nil are written as their own value codes.
    void WriteIdent(std::string_view Ident);
    void WriteBoolean(bool Value);
    void WriteSet(uint64_t Value, const TEnumInfo& Elements);
    void WriteBinary(const void* Data, uint32_t Size);
    void WriteStr(std::string_view Value);
    void WriteValue(TValueType Value);
    void WritePropName(const std::string& Name);

private:
    void WriteProperty(TPersistent* Instance, const TPropInfo& Prop);
    std::string ReferenceName(TComponent* C) const;

    std::string FPropPath;
};

// Convenience: one root to and from a stream.
void WriteComponentToStream(TStream& Stream, TComponent* Root);
TComponent* ReadComponentFromStream(TStream& Stream, TComponent* Root);

}  // namespace dcs
