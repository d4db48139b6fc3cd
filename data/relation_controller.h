// One per data file, beside its file manager: knows the file's relations,
// opens and closes a file together with its related files, and changes or
// deletes a record with referential integrity in one transaction. Forms and
// browses delete and change records only through it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "data/file_manager.h"
#include "data/link_fields.h"
#include "data/record_follower.h"

namespace ledora::data {

enum RelationRule : uint8_t {
  RuleNone = 0,
  RuleClear = 1,
  RuleRestrict = 2,
  RuleCascade = 3,
};

class RelationController {
 public:
  struct Relation {
    RelationController* FILE = nullptr;  // not owned; the related file
    std::unique_ptr<LinkFields> FIELDS;  // none for a plain relation
    int HISKEY = -1;                     // the related file's key, -1 = none
    uint8_t UPDATEMODE = RuleNone;       // what a changed link does to the children
    uint8_t DELETEMODE = RuleNone;       // what a deleted parent does to them
  };

  FileManager* ME = nullptr;                         // not owned; this controller's file
  std::unique_ptr<std::vector<Relation>> RELATIONS;  // to parents and children
  RelationController* ALIASFILE = nullptr;           // not owned; the real file of an alias
  uint8_t USELOGOUT = 0;                             // 1: writes run inside a transaction
  int32_t LASTTOUCHED = 0;                           // the traversal that last visited this file

  RelationController() = default;
  virtual ~RelationController() = default;
  RelationController(const RelationController&) = delete;
  RelationController& operator=(const RelationController&) = delete;

  void Initialize(FileManager* manager, bool useTransactions);
  void AddRelation(RelationController* related);
  // A one-to-many relation; its links follow through AddRelationLink.
  void AddRelation(RelationController* related, uint8_t updateRule, uint8_t deleteRule,
                   int childKey);
  void AddRelationLink(const runtime::FieldRef& parentField, const runtime::FieldRef& childField);
  // Appends the links between this file and `related` to target, parent
  // side left unless reversed asks for the stored orientation as is.
  void ListLinkingFields(RelationController* related, std::vector<LinkPair>& target,
                         bool reversed = false);

  // Overridable operations. Results are Severity: SeverityNone on success,
  // else the reply to the message shown (a write rolled back first).
  //
  // Gives back the number this file's thread reserved, deleting the
  // placeholder record with its dependants.
  virtual Severity CancelAutoInc();
  // Closes this file and every related file once, matching Open.
  virtual Severity Close();
  // Deletes the buffer's record with its dependants by each relation's
  // delete rule, in one transaction; askConfirmation asks first, and No
  // returns SeverityInform with nothing deleted.
  virtual Severity Delete(bool askConfirmation);
  // Deletes (cascade), clears (clear) or refuses for (restrict) the records
  // of this file linked through pairs to the parent being deleted.
  virtual Severity DeleteDependants(int childKey, LinkFields* pairs, uint8_t rule);
  // Forgets the relations; after it the controller is unusable.
  virtual void Shutdown();
  // Opens this file and every related file once, then makes this one usable.
  virtual Severity Open();
  // Keeps the linking fields' current values, to find the children when a
  // later update changes them.
  virtual void RememberLinkingValues();
  // Switches quick scanning on or off for this file and its relations;
  // direction 1 reaches the parents, 2 the children, 0 neither.
  virtual void SetQuickScan(bool on, uint8_t direction = 0);
  // Writes the buffer over the record read last and carries changed linking
  // values to the dependants, in one transaction. recallHint: the form can
  // recall the user's changes (shown in the changed-elsewhere message).
  // SeverityQuestion asks the caller to offer a retry.
  virtual Severity Update(bool recallHint = false);
  // Carries the parent's changed linking values to the records of this file
  // linked through pairs (cascade), clears them (clear) or refuses (restrict).
  virtual Severity UpdateDependants(int childKey, LinkFields* pairs, uint8_t rule);

  // Cancel auto-increment that also deletes, in the same transaction, the
  // records of `dependants` linked to the reserved record, whatever the
  // relation's delete rule. Deletes nothing when no number is reserved.
  Severity CancelAutoIncWith(RelationController* dependants);

  // What follows this file's records (not owned); its writes join every
  // insert, update and delete of a record of this file.
  void SetFollower(RecordFollower* follower) { follower_ = follower; }
  // Adds the record in the buffer as FileManager::Insert does, in one
  // transaction with what follows it when there is a follower.
  Severity Insert();

  // The process-wide traversal counter, bumped once per top-level request.
  static int32_t TraversalCounter();

 private:
  Severity OpenNested();
  void CloseNested();
  void QuickScanNested(bool on, uint8_t direction);
  bool Visit();  // false when already visited in this traversal

  // Transaction framing: the files a change may write are marked, then the
  // transaction begins; every failure inside it rolls back before its message.
  Severity Frame(bool forDelete, RelationController* alsoDeleted = nullptr);
  Severity DeleteWith(RelationController* alsoDeleted);
  void MarkForUpdate(std::vector<RelationController*>& files);
  void MarkForDelete(std::vector<RelationController*>& files);
  void MarkCascaded(std::vector<RelationController*>& files);
  Severity MarkFiles(const std::vector<RelationController*>& files);
  Severity Commit(MessageNumber failureMessage);
  void Rollback();
  Severity FailWith(MessageNumber number);

  Severity PositionOnChildKey(int childKey, LinkFields* pairs, bool oldValues);
  uint8_t NextDependant(LinkFields* pairs, bool oldValues, Severity& result);
  Severity DeleteOwnDependants();
  Severity UpdateOwnDependants();
  Severity WriteChildWithDependants();
  Severity RefuseIfReferenced(int childKey, LinkFields* pairs);
  Severity FollowOrRollBack();

  RecordFollower* follower_ = nullptr;
};

}  // namespace ledora::data
