// The rich-hint data (title, notes, picture) that smooth buttons publish as OfficeHint:
// stored, copied and streamed only. GUI thread only.
#pragma once

#include "platform/controls/PersistentStrings.h"
#include "ui/controls/GDIPicture.h"

#include <memory>
#include <string>

namespace dcs::smooth {

class TSmHintInfo : public TPersistent {
    DCS_CLASS(TSmHintInfo, TPersistent)

    TSmHintInfo();
    ~TSmHintInfo() override;

    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TGDIPPicture* V) { FPicture->Assign(V); }
    bool ShowHelp = false;
    TStrings* Notes() const { return FNotes.get(); }
    void SetNotes(TStrings* V) { FNotes->Assign(V); }
    std::string Title;
    std::string WideTitle;
    std::string WideNotes;

    // Copies everything from another hint info; other sources are ignored.
    void Assign(TPersistent* Source) override;
    bool IsEmpty() const;
    static void DeclareProperties(TClassBuilder<TSmHintInfo>& P);

private:
    std::unique_ptr<TGDIPPicture> FPicture;
    std::unique_ptr<TStrings> FNotes;
};

}  // namespace dcs::smooth
