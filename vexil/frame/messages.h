// Message numbers of vexil's language file.
#pragma once

namespace vexil {

enum MessageNumber : int {
    MOk = 0,              // accept button of every dialog
    MCancel = 1,          // discard button; cancel-job button
    MSkip = 2,            // skip this file
    MRetry = 4,           // repeat the failed operation
    MReplace = 5,         // replace the existing output
    MAppend = 7,          // append to the existing output
    MContinue = 8,        // go on after Esc
    MGeneralTitle = 10,
    MEncodingTitle = 11,
    MSuppressOutput = 13,
    MSingleStorage = 15,
    MShortNames = 16,
    MSplitOutput = 17,
    MLinesPerSection = 18,
    MAutoApply = 19,
    MCfgGeneral = 20,
    MCfgEncoding = 21,
    MCfgAbout = 23,
    MPluginTitle = 24,
    MEncodeFiles = 25,
    MReservedEntry = 26,
    MEncodeSubject = 28,  // format, one text
    MFilesWord = 29,
    MBriefType = 30,      // format, one text
    MBriefSingle = 31,    // format, one text
    MYes = 32,
    MNo = 33,
    MBriefSplit = 34,     // format, one text
    MBriefLines = 35,     // format, one integer
    MCannotOpen = 36,
    MOutputExists = 37,
    MCannotWrite = 38,
    MCannotRead = 39,
    MCannotDelete = 40,
    MCfgSave = 41,
    MProgressTitle = 42,
    MProgressTo = 43,
    MProgressNumber = 44, // format, one integer
    MAbortQuestion = 45,
    MNewFile = 46,
    MExistingFile = 47,
    MOutputIsSource = 48, // an output path that names the source file
    MCharacterTable = 49,
    MChecksums = 50,
    MCRC = 51,
    MEncodingType = 52,
    MTypeUU = 53,
    MTypeXX = 54,
    MTypeOther = 55,
    MScanning = 56,
    MExtractTitle = 57,   // progress box title while extracting
    MExtractAbort = 58,
    MTargetExists = 59,
    MOverwrite = 60,
    MKeepBoth = 61,
    MOverwriteAll = 62,
    MSkipAll = 63,
    MKeepBothAll = 64,
    MDamaged = 65,        // format, two integers: section and line
    MKeepPartial = 66,
    MCannotMove = 67,
    MIncomplete = 68,
    MDecode = 69,
    MCannotExtract = 70,
    MNoFolder = 71,
    MDeleteTitle = 72,
    MDeleteOne = 73,      // question naming the items
    MDeleteMany = 74,     // format, one integer: the item count
    MDelete = 75,
    MFileChanged = 76,
    MBlocksOverlap = 77,
    MNotPlainText = 78,
    MCannotRewrite = 79,
    MTargetIsStorage = 80, // the item's output would replace a text the storage is read from
    NoMessage = 255,
};

}  // namespace vexil
