#include "ui/controls/SmHintInfo.h"

namespace dcs::smooth {

TSmHintInfo::TSmHintInfo() : FPicture(std::make_unique<TGDIPPicture>()), FNotes(std::make_unique<TStrings>()) {}

TSmHintInfo::~TSmHintInfo() = default;

void TSmHintInfo::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TSmHintInfo*>(Source);
    if (!s || s == this)
        return;
    Title = s->Title;
    FNotes->Assign(s->FNotes.get());
    ShowHelp = s->ShowHelp;
    FPicture->Assign(s->FPicture.get());
    WideTitle = s->WideTitle;
    WideNotes = s->WideNotes;
}

bool TSmHintInfo::IsEmpty() const
{
    // Any line, even an empty one, makes the notes' text non-empty.
    return Title.empty() && FNotes->Count() == 0;
}

void TSmHintInfo::DeclareProperties(TClassBuilder<TSmHintInfo>& P)
{
    using H = TSmHintInfo;
    P.Object("Picture", &H::Picture, &H::SetPicture);
    P.Boolean("ShowHelp", &H::ShowHelp, &H::ShowHelp).Default(false);
    P.Object("Notes", &H::Notes, &H::SetNotes);
    P.String("Title", &H::Title, &H::Title);
}

}  // namespace dcs::smooth
