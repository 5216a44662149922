#include "ui/ProgramWindows.h"

#include "ui/Exportfrm.h"
#include "ui/Hexfrm.h"
#include "ui/Selpatfrm.h"

namespace zandrel {

ProgramWindows::ProgramWindows(Dialogs& dialogs, TMainForm::SettingsOpener openSettings) {
    main_ = std::make_unique<TMainForm>(dialogs, std::move(openSettings));
    main_->show();
    main_->FormShow();
    TMainForm* mainForm = main_.get();
    exportForm_ =
        std::make_unique<TExportForm>(main_->document(), dialogs,
                                      TExportForm::Owner{[mainForm] { return mainForm->layoutTexts(); },
                                                         [mainForm] { mainForm->RefreshExport(); }});
    hexForm_ = std::make_unique<THexForm>();
    selPatForm_ = std::make_unique<TSelPatForm>(main_.get());
    main_->attachWindows(exportForm_.get(), hexForm_.get(), selPatForm_.get());
}

ProgramWindows::~ProgramWindows() {
    if (main_) main_->attachWindows(nullptr, nullptr, nullptr);
    selPatForm_.reset();
    hexForm_.reset();
    exportForm_.reset();
    main_.reset();
}

}  // namespace zandrel
