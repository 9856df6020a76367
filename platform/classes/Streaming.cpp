#include "platform/classes/Streaming.h"

#include "platform/base/Format.h"
#include "platform/base/Strings.h"
#include "platform/classes/IntegerIdents.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <mutex>

namespace dcs {

const char* ValueTypeName(TValueType V)
{
    switch (V) {
    case vaNull: return "end of list";
    case vaList: return "list";
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64: return "integer";
    case vaExtended: return "float";
    case vaString: return "string";
    case vaIdent: return "identifier";
    case vaFalse:
    case vaTrue: return "Boolean";
    case vaBinary: return "binary data";
    case vaSet: return "set";
    case vaNil: return "nil";
    case vaCollection: return "collection";
    }
    return "unknown value";
}

namespace {

std::mutex GlobalFindLock;
TFindGlobalComponent GlobalFind;

bool IsIntegerCode(TValueType V) { return V == vaInt8 || V == vaInt16 || V == vaInt32 || V == vaInt64; }

std::string ComponentLabel(const TComponent* C)
{
    if (!C)
        return "(none)";
    return C->Name().empty() ? C->ClassName() : C->Name();
}

}  // namespace

void SetFindGlobalComponent(TFindGlobalComponent Find)
{
    std::lock_guard<std::mutex> g(GlobalFindLock);
    GlobalFind = std::move(Find);
}

TComponent* FindGlobalComponent(std::string_view Name)
{
    TFindGlobalComponent find;
    {
        std::lock_guard<std::mutex> g(GlobalFindLock);
        find = GlobalFind;
    }
    return find ? find(Name) : nullptr;
}

// ---------------------------------------------------------------------------------
// TComponent's streaming hooks

void TComponent::ReadState(TReader& Reader)
{
    if (HasParent() && Reader.Parent())
        SetParentComponent(Reader.Parent());
    Reader.ReadData(this);
}

void TComponent::WriteState(TWriter& Writer) { Writer.WriteData(this); }

// ---------------------------------------------------------------------------------
// TReader: primitives

void TReader::Error(const std::string& Message) { throw EReadError(Message); }

void TReader::ValueError(TValueType Found, const char* Expected)
{
    Error(std::string("Invalid property value: expected ") + Expected + ", found " + ValueTypeName(Found));
}

void TReader::ReadBytes(void* Buffer, int64_t Count) { FStream.ReadBuffer(Buffer, Count); }

TValueType TReader::ReadValue()
{
    uint8_t b = FStream.ReadValue<uint8_t>();
    if (b > kLastValueType)
        Error("Invalid value code " + std::to_string(b) + " at offset " + std::to_string(FStream.Position() - 1));
    return static_cast<TValueType>(b);
}

bool TReader::EndOfList()
{
    uint8_t b = FStream.ReadValue<uint8_t>();
    FStream.Seek(-1, soCurrent);
    return b == vaNull;
}

TValueType TReader::NextValue()
{
    TValueType v = ReadValue();
    FStream.Seek(-1, soCurrent);
    return v;
}

void TReader::CheckValue(TValueType Expected)
{
    TValueType v = ReadValue();
    if (v != Expected) {
        FStream.Seek(-1, soCurrent);
        ValueError(v, ValueTypeName(Expected));
    }
}

void TReader::ReadListBegin() { CheckValue(vaList); }
void TReader::ReadListEnd() { CheckValue(vaNull); }

void TReader::ReadSignature()
{
    char sig[4];
    if (FStream.Read(sig, 4) != 4 || !std::equal(sig, sig + 4, kFormSignature))
        Error("Invalid stream format: no component stream signature");
}

uint32_t TReader::ReadLength(const char* What)
{
    int32_t n = FStream.ReadValue<int32_t>();
    int64_t left = FStream.Size() - FStream.Position();
    if (n < 0 || n > left)
        Error(std::string(What) + " of " + std::to_string(n) + " bytes runs past the end of the stream");
    return static_cast<uint32_t>(n);
}

std::string TReader::ReadStr()
{
    uint8_t n = FStream.ReadValue<uint8_t>();
    std::string s(n, '\0');
    ReadBytes(s.data(), n);
    return s;
}

int64_t TReader::ReadInt64()
{
    TValueType v = ReadValue();
    switch (v) {
    case vaInt8: return FStream.ReadValue<int8_t>();
    case vaInt16: return FStream.ReadValue<int16_t>();
    case vaInt32: return FStream.ReadValue<int32_t>();
    case vaInt64: return FStream.ReadValue<int64_t>();
    default: FStream.Seek(-1, soCurrent); ValueError(v, "integer");
    }
}

int32_t TReader::ReadInteger()
{
    int64_t v = ReadInt64();
    if (v < INT32_MIN || v > INT32_MAX)
        Error("Invalid property value: " + std::to_string(v) + " is out of the 32-bit range");
    return static_cast<int32_t>(v);
}

long double TReader::ReadFloat()
{
    TValueType v = NextValue();
    if (v == vaExtended) {
        ReadValue();
        long double f = FStream.ReadExtended();
        // Whatever is read must be writable again; the text form has no NaN or infinity.
        if (!std::isfinite(f))
            Error("Invalid property value: a float that is infinite or not a number");
        return f;
    }
    if (IsIntegerCode(v))
        return static_cast<long double>(ReadInt64());
    ValueError(v, "float");
}

std::string TReader::ReadString()
{
    CheckValue(vaString);
    uint32_t n = ReadLength("String");
    std::string s(n, '\0');
    ReadBytes(s.data(), n);
    return s;
}

std::string TReader::ReadIdent()
{
    TValueType v = ReadValue();
    switch (v) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    default: FStream.Seek(-1, soCurrent); ValueError(v, "identifier");
    }
}

bool TReader::ReadBoolean()
{
    TValueType v = ReadValue();
    if (v == vaTrue)
        return true;
    if (v == vaFalse)
        return false;
    FStream.Seek(-1, soCurrent);
    ValueError(v, "Boolean");
}

uint64_t TReader::ReadSet(const TEnumInfo& Elements)
{
    CheckValue(vaSet);
    uint64_t mask = 0;
    for (;;) {
        std::string s = ReadStr();
        if (s.empty())
            return mask;
        int i = Elements.ValueOf(s);
        if (i < 0 || i >= 64)
            Error("Invalid property value: " + s + " is not an element of " + Elements.TypeName);
        mask |= uint64_t(1) << i;
    }
}

std::vector<uint8_t> TReader::ReadBinary()
{
    CheckValue(vaBinary);
    uint32_t n = ReadLength("Binary data");
    std::vector<uint8_t> data(n);
    ReadBytes(data.data(), n);
    return data;
}

void TReader::SkipValue()
{
    auto skip = [this](int64_t n) {
        if (FStream.Size() - FStream.Position() < n)
            Error("Stream read error");
        FStream.Seek(n, soCurrent);
    };
    TNestingGuard nest(FNesting);
    TValueType v = ReadValue();
    switch (v) {
    case vaNull: FStream.Seek(-1, soCurrent); Error("Invalid property value: a value was expected, found end of list");
    case vaList:
        while (!EndOfList())
            SkipValue();
        ReadListEnd();
        break;
    case vaInt8: skip(1); break;
    case vaInt16: skip(2); break;
    case vaInt32: skip(4); break;
    case vaInt64: skip(8); break;
    case vaExtended: skip(10); break;
    case vaString:
    case vaBinary: skip(ReadLength("Value")); break;
    case vaIdent: ReadStr(); break;
    case vaFalse:
    case vaTrue:
    case vaNil: break;
    case vaSet:
        while (!ReadStr().empty()) {}
        break;
    case vaCollection:
        while (!EndOfList()) {
            if (IsIntegerCode(NextValue()))
                SkipValue();
            ReadListBegin();
            while (!EndOfList()) {
                ReadStr();
                SkipValue();
            }
            ReadListEnd();
        }
        ReadListEnd();
        break;
    }
}

// ---------------------------------------------------------------------------------
// TReader: defined properties

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool)
{
    if (!FHandled && ReadData && SameText(Name, FPropName)) {
        FHandled = true;
        ReadData(*this);
    }
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool)
{
    if (!FHandled && ReadData && SameText(Name, FPropName)) {
        FHandled = true;
        std::vector<uint8_t> data = ReadBinary();
        TMemoryStream ms;
        ms.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
        ms.SetPosition(0);
        ReadData(ms);
    }
}

// ---------------------------------------------------------------------------------
// TReader: properties and components

void TReader::ReadProperty(TPersistent* Instance)
{
    std::string name = ReadStr();
    struct TDepth {
        int& D;
        explicit TDepth(int& d) : D(d) { ++D; }
        ~TDepth() { --D; }
    } depth(FPropDepth);
    try {
        if (name.empty())
            Error("Invalid stream format: empty property name");
        TPersistent* obj = Instance;
        size_t start = 0;
        for (;;) {
            size_t dot = name.find('.', start);
            std::string part = name.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
            const TPropInfo* prop = obj->ClassType()->FindProperty(part);
            if (dot == std::string::npos) {
                if (prop) {
                    ReadPropValue(obj, *prop);
                } else {
                    std::string saved = FPropName;
                    FPropName = part;
                    FHandled = false;
                    obj->DefineProperties(*this);
                    FPropName = saved;
                    if (!FHandled)
                        Error("Property " + part + " does not exist in " + obj->ClassName());
                    FHandled = false;
                }
                break;
            }
            if (!prop || (prop->Kind != TTypeKind::tkClass))
                Error("Property " + part + " does not exist in " + obj->ClassName());
            auto* sub = As<TPersistent>(prop->GetObj(*obj));
            if (!sub)
                Error("Property " + part + " of " + obj->ClassName() + " holds no object");
            obj = sub;
            start = dot + 1;
        }
    } catch (const Exception& e) {
        if (FPropDepth > 1)
            throw;
        throw EReadError("Error reading " + ComponentLabel(FCurrent) + "." + name + ": " + e.Message());
    }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo& Prop)
{
    if (Prop.Kind != TTypeKind::tkClass && !Prop.IsWritable())
        Error("Property " + Prop.Name + " is read-only");
    switch (Prop.Kind) {
    case TTypeKind::tkInteger: {
        int64_t v = 0;
        if (NextValue() == vaIdent) {
            std::string id = ReadIdent();
            if (!IdentToInt(Prop.TypeName, id, v))
                Error("Invalid property value: " + id + " is not a value of " + Prop.TypeName);
        } else {
            v = ReadInt64();
        }
        // 32-bit properties may be signed or unsigned.
        if (v < INT32_MIN || v > int64_t(UINT32_MAX))
            Error("Invalid property value: " + std::to_string(v) + " is out of the 32-bit range");
        Prop.SetOrd(*Instance, v);
        break;
    }
    case TTypeKind::tkInt64: Prop.SetOrd(*Instance, ReadInt64()); break;
    case TTypeKind::tkEnumeration: {
        std::string id = ReadIdent();
        int v = Prop.Enum->ValueOf(id);
        if (v < 0)
            Error("Invalid property value: " + id + " is not a value of " + Prop.TypeName);
        Prop.SetOrd(*Instance, v);
        break;
    }
    case TTypeKind::tkBoolean: Prop.SetOrd(*Instance, ReadBoolean() ? 1 : 0); break;
    case TTypeKind::tkSet: Prop.SetOrd(*Instance, static_cast<int64_t>(ReadSet(*Prop.Enum))); break;
    case TTypeKind::tkFloat: {
        // Narrowed into a smaller type, such a value would be an infinity no text holds.
        long double v = ReadFloat();
        if (std::fabs(v) > Prop.FloatMax)
            Error("Invalid property value: " + FloatToStr(v) + " is out of the range of " + Prop.TypeName);
        Prop.SetFloat(*Instance, v);
        break;
    }
    case TTypeKind::tkString: Prop.SetStr(*Instance, ReadString()); break;
    case TTypeKind::tkClass: {
        TValueType v = ReadValue();
        if (v == vaCollection) {
            auto* coll = As<TCollection>(Prop.GetObj(*Instance));
            if (!coll)
                Error("Property " + Prop.Name + " holds no collection");
            ReadCollection(coll);
        } else if (v != vaNil) {
            FStream.Seek(-1, soCurrent);
            ValueError(v, "collection");
        }
        break;
    }
    case TTypeKind::tkComponent:
    case TTypeKind::tkMethod: {
        if (NextValue() == vaNil) {
            ReadValue();
            if (Prop.Kind == TTypeKind::tkComponent)
                Prop.SetObj(*Instance, nullptr);
            else if (auto* c = As<TComponent>(Instance))
                c->ClearMethod(Prop);
            break;
        }
        std::string name = ReadIdent();
        if (Prop.Kind == TTypeKind::tkMethod && Instance != FCurrent)
            Error("Event " + Prop.Name + " is not published by a component");
        FFixups.push_back({FCurrent, Instance, &Prop, name, ComponentLabel(FCurrent) + "." + Prop.Name});
        break;
    }
    }
}

void TReader::ReadCollection(TCollection* Collection)
{
    TNestingGuard nest(FNesting);
    Collection->BeginUpdate();
    try {
        Collection->Clear();
        while (!EndOfList()) {
            if (IsIntegerCode(NextValue()))
                ReadInteger();  // a stored item index: items are read in order anyway
            TCollectionItem* item = Collection->Add();
            ReadListBegin();
            while (!EndOfList())
                ReadProperty(item);
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        Collection->EndUpdate();
        throw;
    }
    Collection->EndUpdate();
}

void TReader::ReadData(TComponent* Instance)
{
    while (!EndOfList())
        ReadProperty(Instance);
    ReadListEnd();

    TComponent* savedOwner = FOwner;
    TComponent* savedParent = FParent;
    FParent = Instance->GetChildParent();
    FOwner = Instance->GetChildOwner();
    if (!FOwner)
        FOwner = FRoot;
    try {
        while (!EndOfList())
            ReadComponent();
        ReadListEnd();
    } catch (...) {
        FOwner = savedOwner;
        FParent = savedParent;
        throw;
    }
    FOwner = savedOwner;
    FParent = savedParent;
}

void TReader::ForgetComponent(TComponent* C)
{
    std::erase(FLoaded, C);
    std::erase_if(FFixups, [C](const TFixup& f) { return f.Component == C; });
}

TComponent* TReader::ReadComponent()
{
    TNestingGuard nest(FNesting);
    std::string cls = ReadStr();
    std::string name = ReadStr();
    TClass c;
    try {
        c = FindClass(cls);
    } catch (const EClassNotFound& e) {
        throw EClassNotFound(e.Message() + " (reading " + (name.empty() ? std::string("an unnamed component") : name) +
                             ")");
    }
    if (!c->InheritsFrom(TComponent::StaticClass()) || !c->ComponentCreator())
        Error("Class " + cls + " cannot be created as a component (reading " + name + ")");

    TComponent* r = c->ComponentCreator()(FOwner);
    TComponent* saved = FCurrent;
    try {
        r->SetLoadingState(csLoading | csReading, true);
        FLoaded.push_back(r);
        FCurrent = r;
        try {
            r->SetName(name);
        } catch (const EComponentError& e) {
            Error("Error reading " + name + ": " + e.Message());
        }
        r->ReadState(*this);
        r->SetLoadingState(csReading, false);
    } catch (...) {
        FCurrent = saved;
        ForgetComponent(r);
        Free(r);
        throw;
    }
    FCurrent = saved;
    return r;
}

TComponent* TReader::ResolveReference(const std::string& Name) const
{
    if (SameText(Name, FRoot->Name()))
        return FRoot;
    if (TComponent* c = FRoot->FindComponent(Name))
        return c;
    size_t dot = Name.find('.');
    if (dot == std::string::npos)
        return FindGlobalComponent(Name);
    std::string head = Name.substr(0, dot);
    TComponent* c = SameText(head, FRoot->Name()) ? FRoot : FindGlobalComponent(head);
    size_t start = dot + 1;
    while (c && start <= Name.size()) {
        dot = Name.find('.', start);
        c = c->FindComponent(Name.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos)
            break;
        start = dot + 1;
    }
    return c;
}

void TReader::FixupReferences()
{
    // References to components that exist nowhere stay nil: the far component may
    // belong to a window that is never created.
    std::vector<TFixup> fixups = std::move(FFixups);
    FFixups.clear();
    for (const TFixup& f : fixups) {
        try {
            if (f.Prop->Kind == TTypeKind::tkComponent) {
                if (TComponent* c = ResolveReference(f.Name))
                    f.Prop->SetObj(*f.Instance, c);
            } else {
                f.Component->SetMethodByName(*f.Prop, FRoot, f.Name);
            }
        } catch (const Exception& e) {
            throw EReadError("Error reading " + f.Path + ": " + e.Message());
        }
    }
}

TComponent* TReader::ReadRootComponent(TComponent* Root)
{
    ReadSignature();
    std::string cls = ReadStr();
    std::string name = ReadStr();
    bool created = false;
    if (!Root) {
        TClass c = FindClass(cls);
        if (!c->InheritsFrom(TComponent::StaticClass()) || !c->ComponentCreator())
            Error("Class " + cls + " cannot be created as a component");
        Root = c->ComponentCreator()(nullptr);
        created = true;
    } else {
        // A tree stored for this class or for one of its ancestors.
        TClass k = Root->ClassType();
        while (k && !SameText(k->ClassName(), cls))
            k = k->ClassParent();
        if (!k)
            Error("The stored object is a " + cls + ", which " + Root->ClassName() + " is not");
    }
    FRoot = Root;
    FOwner = Root;
    FParent = nullptr;
    FCurrent = Root;
    FLoaded.assign(1, Root);
    try {
        Root->SetLoadingState(csLoading | csReading, true);
        if (Root->Name().empty()) {
            // A second instance of a stored window under the same owner takes the next
            // free name (Form1_1, Form1_2, ...) instead of failing.
            std::string unique = name;
            if (TComponent* owner = Root->Owner())
                for (int i = 1; owner->FindComponent(unique); ++i)
                    unique = name + "_" + std::to_string(i);
            try {
                Root->SetName(unique);
            } catch (const EComponentError& e) {
                Error(e.Message());
            }
        }
        Root->ReadState(*this);
        Root->SetLoadingState(csReading, false);
        FixupReferences();
        std::vector<TComponent*> loaded = std::move(FLoaded);
        FLoaded.clear();
        for (TComponent* c : loaded)
            c->Loaded();
    } catch (...) {
        // Components freed on the way (a failed component takes the controls it parents
        // with it) are no longer reachable from the root; only the living are touched.
        std::vector<TComponent*> alive;
        std::vector<TComponent*> todo {Root};
        while (!todo.empty()) {
            TComponent* c = todo.back();
            todo.pop_back();
            alive.push_back(c);
            for (int i = 0; i < c->ComponentCount(); ++i)
                todo.push_back(c->Components(i));
        }
        for (TComponent* c : FLoaded)
            if (std::find(alive.begin(), alive.end(), c) != alive.end())
                c->SetLoadingState(csLoading | csReading, false);
        FLoaded.clear();
        FFixups.clear();
        if (created)
            Free(Root);
        else
            Root->SetLoadingState(csLoading | csReading, false);
        FRoot = nullptr;
        throw;
    }
    return Root;
}

// ---------------------------------------------------------------------------------
// TWriter

void TWriter::WriteValue(TValueType Value) { FStream.WriteValue<uint8_t>(Value); }

void TWriter::WriteSignature() { FStream.WriteBuffer(kFormSignature, 4); }
void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteStr(std::string_view Value)
{
    if (Value.size() > 255)
        throw EWriteError("Name '" + std::string(Value.substr(0, 40)) + "...' is longer than 255 bytes");
    FStream.WriteValue<uint8_t>(static_cast<uint8_t>(Value.size()));
    FStream.WriteBuffer(Value.data(), static_cast<int64_t>(Value.size()));
}

void TWriter::WriteInteger(int64_t Value)
{
    if (Value >= INT8_MIN && Value <= INT8_MAX) {
        WriteValue(vaInt8);
        FStream.WriteValue<int8_t>(static_cast<int8_t>(Value));
    } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
        WriteValue(vaInt16);
        FStream.WriteValue<int16_t>(static_cast<int16_t>(Value));
    } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
        WriteValue(vaInt32);
        FStream.WriteValue<int32_t>(static_cast<int32_t>(Value));
    } else {
        WriteValue(vaInt64);
        FStream.WriteValue<int64_t>(Value);
    }
}

void TWriter::WriteFloat(long double Value)
{
    WriteValue(vaExtended);
    FStream.WriteExtended(Value);
}

void TWriter::WriteString(std::string_view Value)
{
    if (Value.size() > INT32_MAX)
        throw EWriteError("String too long for the component stream");
    WriteValue(vaString);
    FStream.WriteValue<int32_t>(static_cast<int32_t>(Value.size()));
    FStream.WriteBuffer(Value.data(), static_cast<int64_t>(Value.size()));
}

void TWriter::WriteIdent(std::string_view Ident)
{
    if (SameText(Ident, "False"))
        WriteValue(vaFalse);
    else if (SameText(Ident, "True"))
        WriteValue(vaTrue);
    else if (SameText(Ident, "nil"))
        WriteValue(vaNil);
    else {
        if (Ident.size() > 255)
            throw EWriteError("Identifier '" + std::string(Ident.substr(0, 40)) + "...' is longer than 255 bytes");
        WriteValue(vaIdent);
        WriteStr(Ident);
    }
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteSet(uint64_t Value, const TEnumInfo& Elements)
{
    WriteValue(vaSet);
    for (int i = 0; i < 64; ++i)
        if (Value & (uint64_t(1) << i)) {
            std::string n = Elements.NameOf(i);
            if (n.empty())
                throw EWriteError("Set element " + std::to_string(i) + " has no name in " + Elements.TypeName);
            WriteStr(n);
        }
    WriteStr("");
}

void TWriter::WriteBinary(const void* Data, uint32_t Size)
{
    if (Size > INT32_MAX)
        throw EWriteError("Binary data too long for the component stream");
    WriteValue(vaBinary);
    FStream.WriteValue<int32_t>(static_cast<int32_t>(Size));
    FStream.WriteBuffer(Data, Size);
}

void TWriter::WritePropName(const std::string& Name) { WriteStr(Name); }

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData)
{
    if (HasData && WriteData) {
        WritePropName(FPropPath + Name);
        WriteData(*this);
    }
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData)
{
    if (HasData && WriteData) {
        TMemoryStream ms;
        WriteData(ms);
        WritePropName(FPropPath + Name);
        WriteBinary(ms.Memory(), static_cast<uint32_t>(ms.Size()));
    }
}

std::string TWriter::ReferenceName(TComponent* C) const
{
    if (!C || C->Name().empty())
        return {};
    if (C == FRoot || C->Owner() == FRoot)
        return C->Name();
    if (C->Owner() && !C->Owner()->Name().empty())
        return C->Owner()->Name() + "." + C->Name();
    return C->Name();
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo& Prop)
{
    if (Prop.Kind == TTypeKind::tkClass) {
        TObject* obj = Prop.GetObj(*Instance);
        if (auto* coll = As<TCollection>(obj)) {
            if (coll->Count() == 0)
                return;
            WritePropName(FPropPath + Prop.Name);
            WriteCollection(coll);
        } else if (auto* p = As<TPersistent>(obj)) {
            std::string saved = FPropPath;
            FPropPath += Prop.Name + ".";
            WriteProperties(p);
            FPropPath = saved;
        }
        return;
    }
    if (IsDefaultPropertyValue(*Instance, Prop))
        return;
    switch (Prop.Kind) {
    case TTypeKind::tkInteger:
    case TTypeKind::tkInt64: {
        WritePropName(FPropPath + Prop.Name);
        int64_t v = Prop.GetOrd(*Instance);
        std::string id;
        if (IntToIdent(Prop.TypeName, v, id))
            WriteIdent(id);
        else
            WriteInteger(v);
        break;
    }
    case TTypeKind::tkEnumeration: {
        int64_t v = Prop.GetOrd(*Instance);
        std::string n = Prop.Enum->NameOf(v);
        if (n.empty())
            throw EWriteError("Value " + std::to_string(v) + " of " + Prop.Name + " is not a value of " +
                              Prop.TypeName);
        WritePropName(FPropPath + Prop.Name);
        WriteIdent(n);
        break;
    }
    case TTypeKind::tkBoolean:
        WritePropName(FPropPath + Prop.Name);
        WriteBoolean(Prop.GetOrd(*Instance) != 0);
        break;
    case TTypeKind::tkSet:
        WritePropName(FPropPath + Prop.Name);
        WriteSet(static_cast<uint64_t>(Prop.GetOrd(*Instance)), *Prop.Enum);
        break;
    case TTypeKind::tkFloat:
        WritePropName(FPropPath + Prop.Name);
        WriteFloat(Prop.GetFloat(*Instance));
        break;
    case TTypeKind::tkString:
        WritePropName(FPropPath + Prop.Name);
        WriteString(Prop.GetStr(*Instance));
        break;
    case TTypeKind::tkComponent: {
        std::string n = ReferenceName(As<TComponent>(Prop.GetObj(*Instance)));
        if (!n.empty()) {
            WritePropName(FPropPath + Prop.Name);
            WriteIdent(n);
        }
        break;
    }
    case TTypeKind::tkMethod:
        if (auto* c = As<TComponent>(Instance)) {
            std::string h = c->MethodName(Prop.Name);
            if (!h.empty()) {
                WritePropName(FPropPath + Prop.Name);
                WriteIdent(h);
            }
        }
        break;
    case TTypeKind::tkClass: break;
    }
}

void TWriter::WriteProperties(TPersistent* Instance)
{
    for (const TPropInfo* p : GetPropList(*Instance))
        if (p->IsStored(*Instance))
            WriteProperty(Instance, *p);
    Instance->DefineProperties(*this);
}

void TWriter::WriteCollection(TCollection* Collection)
{
    WriteValue(vaCollection);
    std::string saved = FPropPath;
    FPropPath.clear();
    for (int i = 0; i < Collection->Count(); ++i) {
        WriteListBegin();
        WriteProperties(Collection->Items(i));
        WriteListEnd();
    }
    FPropPath = saved;
    WriteListEnd();
}

void TWriter::WriteData(TComponent* Instance)
{
    WriteStr(Instance->ClassName());
    WriteStr(Instance->Name());
    WriteProperties(Instance);
    WriteListEnd();
    Instance->GetChildren([this](TComponent* Child) { WriteComponent(Child); }, FRoot);
    WriteListEnd();
}

void TWriter::WriteComponent(TComponent* Component)
{
    Component->SetLoadingState(csWriting, true);
    try {
        Component->WriteState(*this);
    } catch (...) {
        Component->SetLoadingState(csWriting, false);
        throw;
    }
    Component->SetLoadingState(csWriting, false);
}

void TWriter::WriteRootComponent(TComponent* Root)
{
    FRoot = Root;
    WriteSignature();
    WriteComponent(Root);
}

void WriteComponentToStream(TStream& Stream, TComponent* Root)
{
    TWriter w(Stream);
    w.WriteRootComponent(Root);
}

TComponent* ReadComponentFromStream(TStream& Stream, TComponent* Root)
{
    TReader r(Stream);
    return r.ReadRootComponent(Root);
}

}  // namespace dcs
