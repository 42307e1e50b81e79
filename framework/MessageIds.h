#pragma once
#include <cstdint>

// Identifiers of the error manager's standard messages.
namespace ql::msg {
constexpr uint16_t RetrievalError = 1;
constexpr uint16_t AccessDenied = 2;       // "Could not get write access to %File so trying read-only."
constexpr uint16_t AddAnother = 3;
constexpr uint16_t InsertFailed = 4;
constexpr uint16_t AddNewRecord = 5;
constexpr uint16_t ChangedByOther = 6;
constexpr uint16_t ChangedByOtherShown = 7;
constexpr uint16_t ConfirmCancel = 8;
constexpr uint16_t ConfirmDelete = 9;
constexpr uint16_t CreateFailed = 10;
constexpr uint16_t DeleteFailed = 11;
constexpr uint16_t DeleteIllegal = 12;
constexpr uint16_t DuplicateKey = 13;      // "... duplicate entry for the key: %Message"
constexpr uint16_t FieldNotInFile = 14;
constexpr uint16_t FieldNotInList = 15;
constexpr uint16_t FieldOutOfRange = 16;   // "... must be between %Message."
constexpr uint16_t FieldAboveRange = 17;
constexpr uint16_t FieldBelowRange = 18;
constexpr uint16_t FileLoadFailed = 19;
constexpr uint16_t InsertIllegal = 20;
constexpr uint16_t TransactionCancelled = 21;
constexpr uint16_t NoRecords = 22;
constexpr uint16_t OpenFailed = 23;
constexpr uint16_t ProcedureNotDefined = 24;
constexpr uint16_t PutFailed = 25;
constexpr uint16_t RebuildFailed = 26;
constexpr uint16_t RebuildKey = 27;
constexpr uint16_t RecordHeldByOther = 28;
constexpr uint16_t RestrictDelete = 30;
constexpr uint16_t RestrictUpdate = 31;
constexpr uint16_t AutoIncrementFailed = 32;
constexpr uint16_t RetryDelete = 33;
constexpr uint16_t RetrySave = 34;
constexpr uint16_t SaveRecord = 35;
constexpr uint16_t BeginningOfFile = 36;
constexpr uint16_t EndOfFile = 37;
constexpr uint16_t UpdateIllegal = 38;
constexpr uint16_t UseClosedFile = 39;
constexpr uint16_t ViewOpenFailed = 40;
} // namespace ql::msg
