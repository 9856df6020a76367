// Property names longer than the highest value code: their length byte comes where the
// reader asks whether a list ends.
#include "platform/classes/Streaming.h"
#include "platform/classes/TextForm.h"

#include <gtest/gtest.h>

namespace dcs::testing {
namespace {

class TLongNames : public TComponent {
    DCS_CLASS(TLongNames, TComponent)
    using TComponent::TComponent;

    int32_t FValue = 0;
    std::string FStored;
    void DefineProperties(TFiler& Filer) override
    {
        TComponent::DefineProperties(Filer);
        Filer.DefineProperty(
            "AStoredValueWithALongName", [this](TReader& R) { FStored = R.ReadString(); },
            [this](TWriter& W) { W.WriteString(FStored); }, !FStored.empty());
    }
    static void DeclareProperties(TClassBuilder<TLongNames>& P)
    {
        P.Integer("APublishedPropertyName", &TLongNames::FValue, &TLongNames::FValue);
    }
};

TEST(Streaming, PropertyNamesOfAnyLengthReadBack)
{
    for (int len : {14, 15, 40, 255}) {
        TOwned<TLongNames> a(Create<TLongNames>(nullptr));
        a->SetName("a");
        a->FValue = 7;
        a->FStored = std::string(size_t(len), 'x');
        std::string text = ComponentToText(a.get());
        TOwned<TLongNames> b(static_cast<TLongNames*>(ReadComponentFromText(text, nullptr)));
        EXPECT_EQ(b->FValue, 7) << text;
        EXPECT_EQ(b->FStored, a->FStored);
    }
}

}  // namespace
}  // namespace dcs::testing
