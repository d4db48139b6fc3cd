#include "data/relation_controller.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "runtime/storage/storage_driver.h"
#include "runtime/system/runtime_error.h"

namespace ledora::data {

namespace {

int32_t traversalCounter = 0;

// Wraps instead of overflowing; 0 stays the stamp of a controller never visited.
void NextTraversal() {
  traversalCounter = traversalCounter == INT32_MAX ? 1 : traversalCounter + 1;
}

constexpr int kTransactionTimeout = 2;
constexpr int kLastKeyComponent = 22;

bool Contains(const std::vector<RelationController*>& files, const RelationController* file) {
  return std::find(files.begin(), files.end(), file) != files.end();
}

}  // namespace

int32_t RelationController::TraversalCounter() { return traversalCounter; }

void RelationController::Initialize(FileManager* manager, bool useTransactions) {
  ME = manager;
  RELATIONS = std::make_unique<std::vector<Relation>>();
  USELOGOUT = useTransactions ? 1 : 0;
}

void RelationController::AddRelation(RelationController* related) {
  Relation relation;
  relation.FILE = related;
  RELATIONS->push_back(std::move(relation));
}

void RelationController::AddRelation(RelationController* related, uint8_t updateRule,
                                     uint8_t deleteRule, int childKey) {
  Relation relation;
  relation.FILE = related;
  relation.FIELDS = std::make_unique<LinkFields>();
  relation.HISKEY = childKey;
  relation.UPDATEMODE = updateRule;
  relation.DELETEMODE = deleteRule;
  RELATIONS->push_back(std::move(relation));
}

void RelationController::AddRelationLink(const runtime::FieldRef& parentField,
                                         const runtime::FieldRef& childField) {
  if (RELATIONS->empty() || !RELATIONS->back().FIELDS) return;
  RELATIONS->back().FIELDS->AddPair(parentField, childField);
}

void RelationController::ListLinkingFields(RelationController* related,
                                           std::vector<LinkPair>& target, bool reversed) {
  for (const Relation& relation : *RELATIONS) {
    if (relation.FILE != related || !relation.FIELDS || relation.FIELDS->empty()) continue;
    for (const LinkPair& pair : relation.FIELDS->Pairs()) {
      target.push_back(reversed ? pair : LinkPair{pair.right, pair.left});
    }
    return;
  }
  // Only one side declares the links; asking back once keeps two plain
  // relations from asking each other for ever.
  if (!reversed) related->ListLinkingFields(this, target, true);
}

void RelationController::Shutdown() { RELATIONS.reset(); }

Severity RelationController::CancelAutoInc() { return ME->CancelAutoInc(this); }

void RelationController::RememberLinkingValues() {
  for (Relation& relation : *RELATIONS) {
    if (relation.FIELDS) relation.FIELDS->Remember();
  }
}

// ---------------------------------------------------------------- traversal

bool RelationController::Visit() {
  if (LASTTOUCHED == traversalCounter) return false;
  LASTTOUCHED = traversalCounter;
  return true;
}

Severity RelationController::Open() {
  NextTraversal();
  Severity result = OpenNested();
  return result != SeverityNone ? result : ME->MakeUsable();
}

Severity RelationController::OpenNested() {
  if (!Visit()) return SeverityNone;
  Severity result = ME->Open();
  for (size_t i = 0; result == SeverityNone && i < RELATIONS->size(); ++i) {
    result = (*RELATIONS)[i].FILE->OpenNested();
  }
  return result;
}

Severity RelationController::Close() {
  NextTraversal();
  CloseNested();
  return SeverityNone;
}

void RelationController::CloseNested() {
  if (!Visit()) return;
  ME->Close();
  for (Relation& relation : *RELATIONS) relation.FILE->CloseNested();
}

void RelationController::SetQuickScan(bool on, uint8_t direction) {
  NextTraversal();
  QuickScanNested(on, direction);
}

void RelationController::QuickScanNested(bool on, uint8_t direction) {
  if (!Visit()) return;
  ME->CurrentFile().Send(on ? "QUICKSCAN=on" : "QUICKSCAN=off");
  if (direction == 0) return;
  for (Relation& relation : *RELATIONS) {
    bool child = relation.HISKEY >= 0;
    if ((direction == 1 && child) || (direction == 2 && !child)) continue;
    relation.FILE->QuickScanNested(on, direction);
  }
}

// ---------------------------------------------------------------- transactions

void RelationController::MarkForUpdate(std::vector<RelationController*>& files) {
  if (Contains(files, this)) return;
  files.push_back(this);
  for (Relation& relation : *RELATIONS) {
    if (relation.UPDATEMODE == RuleClear || relation.UPDATEMODE == RuleCascade) {
      relation.FILE->MarkForUpdate(files);
    }
  }
}

void RelationController::MarkForDelete(std::vector<RelationController*>& files) {
  if (Contains(files, this)) return;
  files.push_back(this);
  for (Relation& relation : *RELATIONS) {
    if (relation.DELETEMODE == RuleCascade) {
      relation.FILE->MarkForDelete(files);
    } else if (relation.DELETEMODE == RuleClear) {
      relation.FILE->MarkCascaded(files);
    }
  }
}

void RelationController::MarkCascaded(std::vector<RelationController*>& files) {
  if (Contains(files, this)) return;
  files.push_back(this);
  for (Relation& relation : *RELATIONS) {
    if (relation.DELETEMODE == RuleCascade) relation.FILE->MarkCascaded(files);
  }
}

Severity RelationController::MarkFiles(const std::vector<RelationController*>& files) {
  runtime::StorageDriver& driver = ME->CurrentFile().driver();
  for (RelationController* file : files) {
    Severity usable = file->ME->MakeUsable();
    if (usable != SeverityNone) return usable;
    int32_t code = driver.Mark(file->ME->CurrentFile());
    if (code == runtime::ErrorUnsupportedFunction) {
      USELOGOUT = 0;
      return SeverityNone;
    }
    if (code != runtime::ErrorNone) {
      file->ME->Throw(MsgTransactionCancelled);
      return SeverityInform;
    }
  }
  return SeverityNone;
}

Severity RelationController::Frame(bool forDelete, RelationController* alsoDeleted) {
  if (!USELOGOUT) return SeverityNone;
  std::vector<RelationController*> files;
  if (forDelete) {
    MarkForDelete(files);
    if (alsoDeleted != nullptr) alsoDeleted->MarkForDelete(files);
  } else {
    MarkForUpdate(files);
  }
  if (follower_ != nullptr) {
    for (RelationController* file : follower_->FollowingFiles()) {
      if (!Contains(files, file)) files.push_back(file);
    }
  }
  Severity result = MarkFiles(files);
  if (result != SeverityNone || !USELOGOUT) return result;
  if (ME->CurrentFile().driver().Logout(kTransactionTimeout) != runtime::ErrorNone) {
    ME->Throw(MsgTransactionCancelled);
    return SeverityInform;
  }
  return SeverityNone;
}

void RelationController::Rollback() {
  runtime::StorageDriver& driver = ME->CurrentFile().driver();
  if (driver.InTransaction()) driver.Rollback();
}

// A commit that fails has changed nothing, so it is reported like the write.
Severity RelationController::Commit(MessageNumber failureMessage) {
  runtime::StorageDriver& driver = ME->CurrentFile().driver();
  if (!driver.InTransaction() || driver.Commit() == runtime::ErrorNone) return SeverityNone;
  return FailWith(failureMessage);
}

// Note first: the rollback replaces the runtime's error state.
Severity RelationController::FailWith(MessageNumber number) {
  ME->NoteError(number);
  Rollback();
  return ME->Throw();
}

// ---------------------------------------------------------------- delete

Severity RelationController::Delete(bool askConfirmation) {
  if (askConfirmation && ME->Throw(MsgConfirmDelete) != SeverityNone) return SeverityInform;
  return DeleteWith(nullptr);
}

// A record added under a number that is given back takes along what was
// linked to it meanwhile; under any other number nothing of `dependants`
// may go, since it belongs to a record this thread never made.
Severity RelationController::CancelAutoIncWith(RelationController* dependants) {
  return ME->DeleteReserved([&] { return DeleteWith(dependants); });
}

Severity RelationController::DeleteWith(RelationController* alsoDeleted) {
  for (;;) {
    std::string position = ME->Position();
    Severity result = Open();
    if (result == SeverityNone) result = Frame(true, alsoDeleted);
    if (result != SeverityNone) {
      Close();
      return result;
    }
    if (ME->Reread(position) != SeverityNone) {
      result = FailWith(MsgRecordNotDeleted);
    } else {
      for (Relation& relation : *RELATIONS) {
        uint8_t rule = relation.FILE == alsoDeleted ? uint8_t{RuleCascade} : relation.DELETEMODE;
        if (rule == RuleNone || !relation.FIELDS) continue;
        result = relation.FILE->DeleteDependants(relation.HISKEY, relation.FIELDS.get(), rule);
        if (result != SeverityNone) {
          Close();
          return result;
        }
      }
      result = ME->DeleteRecord() != runtime::ErrorNone ? FailWith(MsgRecordNotDeleted)
                                                        : FollowOrRollBack();
      if (result == SeverityNone) result = Commit(MsgRecordNotDeleted);
    }
    Close();
    if (result == SeverityNone) return SeverityNone;
    if (ME->Throw(MsgDeleteErrorRetry) != SeverityNone) return result;
  }
}

Severity RelationController::PositionOnChildKey(int childKey, LinkFields* pairs, bool oldValues) {
  ME->ClearRecord();
  if (oldValues) {
    pairs->OldToChild();
  } else {
    pairs->ParentToChild();
  }
  ME->ClearKeyComponents(childKey, static_cast<int>(pairs->size()) + 1, kLastKeyComponent, false);
  if (ME->SetOnKey(childKey) != runtime::ErrorNone) return FailWith(MsgRecordRetrievalError);
  return SeverityNone;
}

// Reads the next dependant: 0 with one read, 1 at the end of them, else the
// failure (the transaction rolled back and the message shown).
uint8_t RelationController::NextDependant(LinkFields* pairs, bool oldValues, Severity& result) {
  Severity read = ME->NextQuietly();
  if (read == SeverityNone) {
    bool same = oldValues ? pairs->ChildEqualsOld() : pairs->ChildEqualsParent();
    result = SeverityNone;
    return same ? 0 : 1;
  }
  if (read == SeverityInform && ME->AtEnd()) {
    result = SeverityNone;
    return 1;
  }
  // A child that cannot be read (or is held elsewhere) leaves the change
  // incomplete, so it fails as a whole.
  Rollback();
  ME->Throw();
  result = SeverityInform;
  return 2;
}

Severity RelationController::DeleteDependants(int childKey, LinkFields* pairs, uint8_t rule) {
  Severity result = ME->MakeUsable();
  if (result != SeverityNone) return result;
  if (rule == RuleRestrict) return RefuseIfReferenced(childKey, pairs);
  uint16_t state = ME->SaveFileState();
  result = PositionOnChildKey(childKey, pairs, false);
  while (result == SeverityNone && NextDependant(pairs, false, result) == 0) {
    if (rule == RuleRestrict) {
      result = FailWith(MsgDeleteRestricted);
    } else if (rule == RuleClear) {
      // The child's own dependants are found by its values as read.
      RememberLinkingValues();
      pairs->ClearChild();
      result = WriteChildWithDependants();
    } else if (rule == RuleCascade) {
      result = DeleteOwnDependants();
      if (result == SeverityNone && ME->DeleteRecord() != runtime::ErrorNone) {
        result = FailWith(MsgRecordNotDeleted);
      }
    } else {
      break;
    }
  }
  ME->RestoreFileState(state);
  return result;
}

// The refusal says how many records hold the parent ("%Message"), so the
// user knows what to clear first. A child without a key on the link (-1) is
// searched in record order.
Severity RelationController::RefuseIfReferenced(int childKey, LinkFields* pairs) {
  uint16_t state = ME->SaveFileState();
  int64_t count = 0;
  Severity result = SeverityNone;
  if (childKey >= 0) {
    result = PositionOnChildKey(childKey, pairs, false);
    while (result == SeverityNone && NextDependant(pairs, false, result) == 0) ++count;
  } else if (ME->CurrentFile().SetOrder(runtime::kRecordOrder) != runtime::ErrorNone) {
    result = FailWith(MsgRecordRetrievalError);
  } else {
    for (;;) {
      Severity read = ME->NextQuietly();
      if (read != SeverityNone) {
        if (read != SeverityInform || !ME->AtEnd()) result = FailWith(MsgRecordRetrievalError);
        break;
      }
      if (pairs->ChildEqualsParent()) ++count;
    }
  }
  if (result == SeverityNone && count > 0) {
    if (ME->ERRORS != nullptr) ME->ERRORS->MESSAGETEXT = std::to_string(count);
    result = FailWith(MsgDeleteRestricted);
  }
  ME->RestoreFileState(state);
  return result;
}

Severity RelationController::DeleteOwnDependants() {
  for (Relation& relation : *RELATIONS) {
    if (relation.DELETEMODE == RuleNone || !relation.FIELDS) continue;
    Severity result = relation.FILE->DeleteDependants(relation.HISKEY, relation.FIELDS.get(),
                                                      relation.DELETEMODE);
    if (result != SeverityNone) return result;
  }
  return SeverityNone;
}

// ---------------------------------------------------------------- update

Severity RelationController::Update(bool recallHint) {
  Severity result = Open();
  if (result == SeverityNone) result = Frame(false);
  if (result != SeverityNone) {
    Close();
    return result;
  }
  // Noted, not shown: nothing is shown while the transaction holds its locks.
  if (ME->UpdateNoted(recallHint ? UpdateShownWithRecall : UpdateShown) != SeverityNone) {
    Rollback();
    MessageNumber noted = ME->LastError();
    ME->Throw();
    Close();
    return noted == MsgRecordChangedByAnotherStation || noted == MsgRecordChangedRecallChanges
               ? SeverityInform
               : SeverityQuestion;
  }
  result = UpdateOwnDependants();
  if (result == SeverityNone) result = FollowOrRollBack();
  if (result == SeverityNone) result = Commit(MsgRecordNotUpdated);
  Close();
  return result;
}

Severity RelationController::Insert() {
  if (follower_ == nullptr) return ME->Insert();
  Severity result = Open();
  if (result == SeverityNone) result = Frame(false);
  if (result != SeverityNone) {
    Close();
    return result;
  }
  FileManager* failed = ME;
  result = ME->InsertNoted([&] {
    failed = follower_->Follow();
    return failed == nullptr ? SeverityNone : SeverityInform;
  });
  if (result != SeverityNone) {
    // Shown once the transaction's locks are gone.
    Rollback();
    failed->Throw();
  } else {
    result = Commit(MsgRecordInsertError);
  }
  Close();
  return result;
}

Severity RelationController::FollowOrRollBack() {
  if (follower_ == nullptr) return SeverityNone;
  FileManager* failed = follower_->Follow();
  if (failed == nullptr) return SeverityNone;
  Rollback();
  failed->Throw();
  return SeverityInform;
}

Severity RelationController::UpdateOwnDependants() {
  for (Relation& relation : *RELATIONS) {
    if (relation.UPDATEMODE == RuleNone || !relation.FIELDS) continue;
    if (!relation.FIELDS->ParentChanged()) continue;
    Severity result = relation.FILE->UpdateDependants(relation.HISKEY, relation.FIELDS.get(),
                                                      relation.UPDATEMODE);
    if (result != SeverityNone) {
      relation.FIELDS->Undo();
      return result;
    }
  }
  return SeverityNone;
}

Severity RelationController::UpdateDependants(int childKey, LinkFields* pairs, uint8_t rule) {
  Severity result = ME->MakeUsable();
  if (result != SeverityNone) return result;
  uint16_t state = ME->SaveFileState();
  result = PositionOnChildKey(childKey, pairs, true);
  while (result == SeverityNone && NextDependant(pairs, true, result) == 0) {
    RememberLinkingValues();
    if (rule == RuleRestrict) {
      result = FailWith(MsgUpdateRestricted);
      pairs->Undo();
      break;
    }
    if (rule == RuleClear) {
      pairs->ClearChild();
    } else if (rule == RuleCascade) {
      pairs->ParentToChild();
    } else {
      break;
    }
    result = WriteChildWithDependants();
  }
  ME->RestoreFileState(state);
  return result;
}

Severity RelationController::WriteChildWithDependants() {
  if (UpdateOwnDependants() != SeverityNone) return SeverityInform;
  if (ME->Update(UpdateQuiet) != SeverityNone) return FailWith(MsgRecordNotUpdated);
  return SeverityNone;
}

}  // namespace ledora::data
