#include "ui/pages/more_rules_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/page_widgets.h"
#include "ui/qt_text.h"

namespace quorvan {

namespace {

// Positions and counts beyond any file name's length mean nothing more.
constexpr int kLongestName = 9999;

QSpinBox* MakeSpin(QWidget* parent, const char* name, int low, int high, const QString& tip) {
    auto* spin = Named(new QSpinBox(parent), name, tip);
    spin->setRange(low, high);
    spin->setAccelerated(true);
    spin->setMaximumWidth(DluX(parent, 36));
    return spin;
}

QComboBox* MakeChoice(QWidget* parent, const char* name, const QStringList& items,
                      const QString& tip) {
    auto* combo = Named(new QComboBox(parent), name, tip);
    combo->addItems(items);
    return combo;
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

CMoreRulesPage::CMoreRulesPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("moreRulesPage"));
    auto* page = new QGridLayout(this);
    page->setContentsMargins(DluX(this, 4), DluY(this, 3), DluX(this, 4), DluY(this, 3));
    page->setVerticalSpacing(DluY(this, 1));
    // The page holds more rows than the others: tighter frames keep the
    // window as small as they let it be.
    const QMargins frameMargins(DluX(this, 6), DluY(this, 1), DluX(this, 6), DluY(this, 2));
    auto frame = [&](const QString& title, const char* name) {
        auto* box = Named(new QGroupBox(title, this), name);
        auto* grid = new QGridLayout(box);
        grid->setContentsMargins(frameMargins);
        grid->setVerticalSpacing(DluY(this, 1));
        return std::pair{box, grid};
    };

    // The name template comes first: it gives the base name the others change.
    auto [named, nm] = frame(tr("Name from template"), "templateGroupBox");
    useTemplate_ = Named(new QCheckBox(tr("Name from template:"), this), "useTemplateCheckBox",
                         tr("Builds the name from the file's own values: {taken:%Y-%m-%d}, "
                            "{camera}, {artist}, {title}, {track:2}, {n:3}, {mtime}...; "
                            "a \"/\" makes folders"));
    template_ = Named(new QLineEdit(this), "templateLineEdit",
                      tr("For example {taken:%Y-%m-%d %H.%M.%S} or {track:2} - {artist} - "
                         "{title}; {{ and }} stand for braces"));
    templateProblem_ = Named(new QLabel(this), "templateProblemLabel");
    templateProblem_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    templateProblem_->setMinimumHeight(templateProblem_->fontMetrics().height());
    templateProblem_->setTextFormat(Qt::PlainText);
    templateProblem_->setForegroundRole(QPalette::Link);
    nm->addWidget(useTemplate_, 0, 0);
    nm->addWidget(template_, 0, 1);
    nm->addWidget(templateProblem_, 0, 2);
    nm->setColumnStretch(1, 3);
    nm->setColumnStretch(2, 2);

    // Positions: removal first, then insertion, both in the base name.
    auto [positions, pos] = frame(tr("Positions"), "positionsGroupBox");
    removeChars_ = Named(new QCheckBox(tr("Re&move"), this), "removeCharsCheckBox",
                         tr("Removes characters from the name (the extension stays)"));
    removeCount_ =
        MakeSpin(this, "removeCountSpinBox", 1, kLongestName, tr("How many characters to remove"));
    removeFrom_ = MakeSpin(this, "removeFromSpinBox", -kLongestName, kLongestName,
                           tr("1 is the first character; -1 the last, counted from the end"));
    insertText_ = Named(new QCheckBox(tr("I&nsert"), this), "insertTextCheckBox",
                        tr("Inserts text into the name (the extension stays)"));
    insertString_ = Named(new QLineEdit(this), "insertStringLineEdit", tr("The text to insert"));
    insertAt_ = MakeSpin(this, "insertAtSpinBox", -kLongestName, kLongestName,
                         tr("1 puts the text first; -1 after the last character"));
    pos->addWidget(removeChars_, 0, 0);
    pos->addWidget(removeCount_, 0, 1);
    pos->addWidget(new QLabel(tr("characters from position"), this), 0, 2);
    pos->addWidget(removeFrom_, 0, 3);
    pos->addWidget(insertText_, 1, 0);
    pos->addWidget(insertString_, 1, 1, 1, 1);
    pos->addWidget(new QLabel(tr("at position"), this), 1, 2, Qt::AlignRight);
    pos->addWidget(insertAt_, 1, 3);
    pos->setColumnStretch(1, 1);

    // Regular expression: the pattern, its replacement, its two options and
    // what the compiler says of it.
    auto [regex, re] = frame(tr("Regular expression"), "regexGroupBox");
    regexReplace_ =
        Named(new QCheckBox(tr("Replace with re&gular expression:"), this), "regexReplaceCheckBox",
              tr("Replaces every match of the pattern (PCRE2 syntax)"));
    regexPattern_ = Named(new QLineEdit(this), "regexPatternLineEdit",
                          tr("For example ^IMG_(\\d{4})(\\d{2})(\\d{2})"));
    regexReplacement_ = Named(new QLineEdit(this), "regexReplacementLineEdit",
                              tr("$1, ${2} or ${name} stand for a group, $$ for a dollar sign"));
    regexWithLabel_ = new QLabel(tr("with:"), this);
    regexWithLabel_->setBuddy(regexReplacement_);
    regexIgnoreCase_ = Named(new QCheckBox(tr("Ignore &case"), this), "regexIgnoreCaseCheckBox",
                             tr("Matches upper and lower case alike"));
    regexIncludeExtension_ =
        Named(new QCheckBox(tr("Incl&ude the extension"), this), "regexIncludeExtensionCheckBox",
              tr("Matches the whole name; otherwise only the part before the extension"));
    problem_ = Named(new QLabel(this), "regexProblemLabel");
    // The line keeps its room while empty, so a message never moves the
    // window's controls; a long one is cut at the frame and shown whole as
    // the label's tooltip.
    problem_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    problem_->setMinimumHeight(problem_->fontMetrics().height());
    problem_->setTextFormat(Qt::PlainText);
    problem_->setForegroundRole(QPalette::Link);
    re->addWidget(regexReplace_, 0, 0, 1, 2);
    re->addWidget(regexPattern_, 1, 0, 1, 2);
    re->addWidget(problem_, 2, 0, 1, 2);
    re->addWidget(regexWithLabel_, 3, 0);
    re->addWidget(regexReplacement_, 3, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(regexIgnoreCase_);
    options->addWidget(regexIncludeExtension_);
    options->addStretch(1);
    re->addLayout(options, 4, 0, 1, 2);
    re->setColumnStretch(1, 1);

    // Clean-up.
    auto [cleanUp, cl] = frame(tr("Clean-up"), "cleanUpGroupBox");
    replaceBlanks_ =
        Named(new QCheckBox(tr("Replace runs of blan&ks with:"), this), "replaceBlanksCheckBox",
              tr("Each run of blanks and tabs becomes the text (empty removes it)"));
    replaceBlanksWith_ = Named(new QLineEdit(this), "replaceBlanksWithLineEdit");
    replaceBlanksWith_->setMaximumWidth(DluX(this, 40));
    removeAccents_ = Named(new QCheckBox(tr("Remo&ve accents"), this), "removeAccentsCheckBox",
                           tr("\"Crème Brûlée\" becomes \"Creme Brulee\""));
    transliterateAscii_ =
        Named(new QCheckBox(tr("Transliterate to ASCII"), this), "transliterateAsciiCheckBox",
              tr("Writes other scripts in Latin letters: \"Привет\" becomes \"Privet\""));
    unicodeForm_ =
        MakeChoice(this, "unicodeFormComboBox", {tr("unchanged"), tr("NFC"), tr("NFD")},
                   tr("NFC composes accented letters, NFD decomposes them (as macOS stores "
                      "names)"));
    trimName_ = Named(new QCheckBox(tr("Trim blanks and dots at both ends"), this),
                      "trimNameCheckBox", tr("Removes blanks and dots around the name"));
    cl->addWidget(replaceBlanks_, 0, 0);
    cl->addWidget(replaceBlanksWith_, 0, 1, Qt::AlignLeft);
    cl->addWidget(removeAccents_, 1, 0);
    cl->addWidget(transliterateAscii_, 1, 1);
    auto* formRow = new QHBoxLayout;
    formRow->addWidget(BuddyLabel(tr("Unicode &form:"), unicodeForm_, this));
    formRow->addWidget(unicodeForm_);
    formRow->addStretch(1);
    cl->addLayout(formRow, 2, 0);
    cl->addWidget(trimName_, 2, 1);
    cl->setColumnStretch(1, 1);

    // Case style, with its own box in the frame's title.
    auto [caseFrame, cs] = frame(tr("Case st&yle"), "caseStyleGroupBox");
    caseStyle_ = caseFrame;
    caseStyle_->setCheckable(true);
    caseStyle_->setToolTip(tr("Changes the case of the name and of the extension, last of all"));
    nameCase_ = MakeChoice(this, "nameCaseComboBox",
                           {tr("Unchanged"), tr("Title Case"), tr("Sentence case"), tr("lowercase"),
                            tr("UPPERCASE"), tr("iNVERT")},
                           tr("Title Case starts every word after a blank, _, -, ., ( or ["));
    extensionCase_ = MakeChoice(this, "extensionCaseComboBox",
                                {tr("Unchanged"), tr("lowercase"), tr("UPPERCASE")},
                                tr("The case of the extension"));
    cs->addWidget(BuddyLabel(tr("Name:"), nameCase_, this), 0, 0);
    cs->addWidget(nameCase_, 0, 1);
    cs->addWidget(BuddyLabel(tr("Extension:"), extensionCase_, this), 1, 0);
    cs->addWidget(extensionCase_, 1, 1);
    cs->setColumnStretch(2, 1);

    // Numbering, for sequencing.
    auto [numberFrame, nb] = frame(tr("Numbering order and step"), "numberingGroupBox");
    numbering_ = numberFrame;
    numbering_->setCheckable(true);
    numbering_->setToolTip(
        tr("In sequencing: which file gets which number. The files are "
           "renamed in their usual order all the same"));
    order_ = MakeChoice(
        this, "sequenceOrderComboBox",
        {tr("path"), tr("natural"), tr("modification time"), tr("size"), tr("date taken")},
        tr("Natural order puts page2 before page10"));
    step_ = MakeSpin(this, "sequenceStepSpinBox", -kLongestName, kLongestName,
                     tr("What each number adds to the one before; negative counts down"));
    perFolder_ = Named(new QCheckBox(tr("Restart numbering in each folder"), this),
                       "sequencePerFolderCheckBox",
                       tr("With subfolders included, each folder numbers from the start"));
    nb->addWidget(BuddyLabel(tr("Number in order of:"), order_, this), 0, 0);
    nb->addWidget(order_, 0, 1);
    nb->addWidget(BuddyLabel(tr("Step:"), step_, this), 0, 2);
    nb->addWidget(step_, 0, 3);
    stepProblem_ = Named(new QLabel(this), "stepProblemLabel");
    stepProblem_->setForegroundRole(QPalette::Link);
    nb->addWidget(stepProblem_, 0, 4);
    nb->setColumnMinimumWidth(4, DluX(this, 44));
    nb->addWidget(perFolder_, 0, 5);
    nb->setColumnStretch(6, 1);

    // Read left to right, top to bottom, in the order the rules apply.
    page->addWidget(named, 0, 0, 1, 2);
    page->addWidget(positions, 1, 0);
    page->addWidget(regex, 1, 1, 2, 1);
    page->addWidget(cleanUp, 2, 0, 2, 1);
    page->addWidget(caseStyle_, 3, 1);
    page->addWidget(numbering_, 4, 0, 1, 2);
    page->setRowStretch(5, 1);
    page->setColumnStretch(0, 1);
    page->setColumnStretch(1, 1);

    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        connect(box, &QCheckBox::toggled, this, &CMoreRulesPage::UpdateControls);
    }
    for (QGroupBox* box : {caseStyle_, numbering_}) {
        connect(box, &QGroupBox::toggled, this, &CMoreRulesPage::UpdateControls);
    }
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        connect(edit, &QLineEdit::textChanged, this, &CMoreRulesPage::UpdateControls);
    }
    for (QSpinBox* spin : findChildren<QSpinBox*>()) {
        connect(spin, &QSpinBox::valueChanged, this, &CMoreRulesPage::UpdateControls);
    }
    for (QComboBox* combo : findChildren<QComboBox*>()) {
        connect(combo, &QComboBox::currentIndexChanged, this, &CMoreRulesPage::UpdateControls);
    }
    SetState(MoreRulesPageState{});
}

MoreRulesPageState CMoreRulesPage::State() const {
    MoreRulesPageState s;
    s.useTemplate = useTemplate_->isChecked();
    s.templateText = FromQt(template_->text());
    s.removeChars = removeChars_->isChecked();
    s.removeCount = removeCount_->value();
    s.removeFrom = removeFrom_->value();
    s.insertText = insertText_->isChecked();
    s.insertString = FromQt(insertString_->text());
    s.insertAt = insertAt_->value();
    s.regexReplace = regexReplace_->isChecked();
    s.regexPattern = FromQt(regexPattern_->text());
    s.regexReplacement = FromQt(regexReplacement_->text());
    s.regexIgnoreCase = regexIgnoreCase_->isChecked();
    s.regexIncludeExtension = regexIncludeExtension_->isChecked();
    s.replaceBlanks = replaceBlanks_->isChecked();
    s.replaceBlanksWith = FromQt(replaceBlanksWith_->text());
    s.removeAccents = removeAccents_->isChecked();
    s.transliterateAscii = transliterateAscii_->isChecked();
    s.form = static_cast<UnicodeForm>(unicodeForm_->currentIndex());
    s.trimName = trimName_->isChecked();
    s.caseStyle = caseStyle_->isChecked();
    s.nameCase = static_cast<NameCaseStyle>(nameCase_->currentIndex());
    s.extensionCase = static_cast<ExtensionCaseStyle>(extensionCase_->currentIndex());
    s.numbering = numbering_->isChecked();
    s.order = static_cast<SequenceOrder>(order_->currentIndex());
    s.step = step_->value();
    s.perFolder = perFolder_->isChecked();
    return s;
}

void CMoreRulesPage::SetState(const MoreRulesPageState& s) {
    {
        const QSignalBlocker quiet(this);
        useTemplate_->setChecked(s.useTemplate);
        template_->setText(ToQt(s.templateText));
        removeChars_->setChecked(s.removeChars);
        removeCount_->setValue(s.removeCount);
        removeFrom_->setValue(s.removeFrom);
        insertText_->setChecked(s.insertText);
        insertString_->setText(ToQt(s.insertString));
        insertAt_->setValue(s.insertAt);
        regexReplace_->setChecked(s.regexReplace);
        regexPattern_->setText(ToQt(s.regexPattern));
        regexReplacement_->setText(ToQt(s.regexReplacement));
        regexIgnoreCase_->setChecked(s.regexIgnoreCase);
        regexIncludeExtension_->setChecked(s.regexIncludeExtension);
        replaceBlanks_->setChecked(s.replaceBlanks);
        replaceBlanksWith_->setText(ToQt(s.replaceBlanksWith));
        removeAccents_->setChecked(s.removeAccents);
        transliterateAscii_->setChecked(s.transliterateAscii);
        unicodeForm_->setCurrentIndex(static_cast<int>(s.form));
        trimName_->setChecked(s.trimName);
        caseStyle_->setChecked(s.caseStyle);
        nameCase_->setCurrentIndex(static_cast<int>(s.nameCase));
        extensionCase_->setCurrentIndex(static_cast<int>(s.extensionCase));
        numbering_->setChecked(s.numbering);
        order_->setCurrentIndex(static_cast<int>(s.order));
        step_->setValue(s.step);
        perFolder_->setChecked(s.perFolder);
    }
    UpdateControls();
}

QString CMoreRulesPage::Problem() const {
    return ToQt(MoreRulesError(MoreRulesFromPage(State())));
}

void CMoreRulesPage::UpdateControls() {
    const MoreRulesPageState state = State();
    const MoreRulesEnabled on = EnabledControls(state);
    template_->setEnabled(on.templateField);
    removeCount_->setEnabled(on.removeFields);
    removeFrom_->setEnabled(on.removeFields);
    insertString_->setEnabled(on.insertFields);
    insertAt_->setEnabled(on.insertFields);
    EnableAll({regexPattern_, regexWithLabel_, regexReplacement_, regexIgnoreCase_,
               regexIncludeExtension_},
              on.regexFields);
    replaceBlanksWith_->setEnabled(on.blanksText);
    // A checkable frame enables its children itself; the page says so too.
    caseStyle_->setChecked(on.caseFields);
    numbering_->setChecked(on.numberingFields);
    const MoreRulesPageProblems problems = PageProblems(state);
    templateProblem_->setText(ToQt(problems.templateText));
    templateProblem_->setToolTip(problems.templateText.empty() ? QString() : Problem());
    problem_->setText(ToQt(problems.pattern));
    problem_->setToolTip(problems.pattern.empty() ? QString() : Problem());
    stepProblem_->setText(ToQt(problems.step));
    stepProblem_->setToolTip(problems.step.empty() ? QString() : Problem());
}

}  // namespace quorvan
