// Values kept in other files that follow the records of a file, as an
// invoice's total follows its lines. The file's relation controller writes
// them in the transaction of the change that moves them, so a change and
// what follows from it are stored together or not at all.
#pragma once

#include <vector>

namespace ledora::data {

class FileManager;
class RelationController;

class RecordFollower {
 public:
  virtual ~RecordFollower() = default;
  // The files Follow writes; they take part in the change's transaction.
  virtual std::vector<RelationController*> FollowingFiles() = 0;
  // Called inside the transaction once the record in the buffer was added,
  // written or deleted. Answers nullptr when done, else the manager whose
  // noted message says why (shown after the rollback).
  virtual FileManager* Follow() = 0;
};

}  // namespace ledora::data
