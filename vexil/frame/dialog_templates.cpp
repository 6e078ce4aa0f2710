#include "vexil/frame/dialog_templates.h"

#include "vexil/frame/messages.h"

namespace vexil {

namespace {
constexpr int kButton = host::kDiButton;
constexpr int kText = host::kDiText;
constexpr int kVText = host::kDiVText;
constexpr int kDoubleBox = host::kDiDoubleBox;
constexpr int kEdit = host::kDiEdit;
constexpr int kCheck = host::kDiCheckBox;
constexpr int kRadio = host::kDiRadioButton;
constexpr unsigned kSep = host::kDifSeparator;
constexpr unsigned kCenter = host::kDifCenterGroup;
constexpr unsigned kGroup = host::kDifGroup;
constexpr unsigned kHistory = host::kDifHistory;
constexpr unsigned char kNone = NoMessage;
}  // namespace

// type, x1, y1, x2, y2, focus, selected, flags, default, message
const DialogTemplate kGeneralOptionsTemplate[kGeneralOptionsItems] = {
    {kButton, 10, 5, 0, 0, 0, 0, 0, 1, MOk},
    {kButton, 20, 5, 0, 0, 0, 0, 0, 0, MCancel},
    {kDoubleBox, 3, 1, 35, 6, 0, 0, 0, 0, MGeneralTitle},
    {kCheck, 5, 2, 0, 0, 1, 1, 0, 0, MSuppressOutput},
    {kCheck, 5, 3, 0, 0, 0, 0, 0, 0, MShortNames},
    {kText, 2, 4, 0, 0, 0, 0, kSep, 0, kNone},
};

const DialogTemplate kEncodingOptionsTemplate[kEncodingOptionsItems] = {
    {kButton, 0, 11, 0, 0, 0, 0, kCenter, 1, MOk},
    {kButton, 0, 11, 0, 0, 0, 0, kCenter, 0, MCancel},
    {kDoubleBox, 3, 1, 65, 12, 0, 0, 0, 0, MEncodingTitle},
    {kCheck, 5, 2, 0, 0, 1, 1, 0, 0, MSingleStorage},
    {kCheck, 5, 3, 0, 0, 0, 1, 0, 0, MSplitOutput},
    {kText, 35, 3, 0, 0, 0, 0, 0, 0, MLinesPerSection},
    {kEdit, 55, 3, 63, 3, 0, 0, 0, 0, 100},  // edit: the number is never read
    {kText, 2, 4, 0, 0, 0, 0, kSep, 0, kNone},
    {kCheck, 5, 5, 0, 0, 0, 1, 0, 0, MCharacterTable},
    {kCheck, 5, 6, 0, 0, 0, 1, 0, 0, MChecksums},
    {kCheck, 5, 7, 0, 0, 0, 1, 0, 0, MCRC},
    {kText, 35, 5, 0, 0, 0, 0, 0, 0, MEncodingType},
    {kRadio, 37, 6, 0, 0, 0, 0, kGroup, 0, MTypeUU},
    {kRadio, 37, 7, 0, 0, 0, 0, 0, 0, MTypeXX},
    {kRadio, 50, 6, 0, 0, 0, 0, 0, 0, MTypeOther},
    {kText, 2, 8, 0, 0, 0, 0, kSep, 0, kNone},
    {kCheck, 5, 9, 0, 0, 0, 1, 0, 0, MAutoApply},
    {kText, 2, 10, 0, 0, 0, 0, kSep, 0, kNone},
    {kVText, 32, 4, 32, 7, 0, 0, 0, 0, kNone},
};

const DialogTemplate kBriefEncodingTemplate[kEncodingDialogItems] = {
    {kButton, 23, 8, 0, 0, 0, 0, 0, 1, MOk},
    {kButton, 33, 8, 0, 0, 0, 0, 0, 0, MCancel},
    {kDoubleBox, 3, 1, 63, 9, 0, 0, 0, 0, MEncodeFiles},
    {kText, 5, 2, 60, 2, 0, 0, 0, 0, MEncodeSubject},
    {kEdit, 5, 3, 60, 3, 1, 0, kHistory, 0, kNone},
    {kText, 0, 4, 0, 0, 0, 0, kSep, 0, kNone},
    {kText, 5, 5, 30, 5, 0, 0, 0, 0, MBriefType},
    {kText, 5, 6, 30, 6, 0, 0, 0, 0, MBriefSingle},
    {kText, 32, 5, 60, 5, 0, 0, 0, 0, MBriefSplit},
    {kText, 32, 6, 60, 6, 0, 0, 0, 0, MBriefLines},
    {kText, 0, 7, 0, 0, 0, 0, kSep, 0, kNone},
};

const DialogTemplate kDetailedEncodingTemplate[kEncodingDialogItems] = {
    {kButton, 23, 8, 0, 0, 0, 0, 0, 1, MOk},
    {kButton, 33, 8, 0, 0, 0, 0, 0, 0, MCancel},
    {kDoubleBox, 3, 1, 63, 9, 0, 0, 0, 0, MEncodeFiles},
    {kText, 5, 2, 60, 2, 0, 0, 0, 0, MEncodeSubject},
    {kEdit, 5, 3, 60, 3, 1, 0, kHistory, 0, kNone},
    {kText, 0, 4, 0, 0, 0, 0, kSep, 0, kNone},
    {kCheck, 5, 5, 30, 5, 0, 0, 0, 0, MSingleStorage},
    {kCheck, 5, 6, 30, 6, 0, 0, 0, 0, MSplitOutput},
    {kText, 32, 6, 50, 6, 0, 0, 0, 0, MLinesPerSection},
    {kEdit, 52, 6, 60, 6, 0, 0, 0, 0, kNone},
    {kText, 0, 7, 0, 0, 0, 0, kSep, 0, kNone},
};

}  // namespace vexil
