#pragma once
// The typed exceptions of the chemistry core. Each carries a message only; the worker thread decides from the
// type whether a run goes on (EChemError), ends (EInputError, EFatalError) or is unexpected (anything else).

#include <stdexcept>
#include <string>

namespace corvatin {

/// A problem with the structure being processed: logged, and the next structure is processed.
class EChemError : public std::runtime_error {
public:
  explicit EChemError(const std::string& message) : std::runtime_error(message) {}
};

/// A problem reading structure input: ends the run.
class EInputError : public EChemError {
public:
  explicit EInputError(const std::string& message) : EChemError(message) {}
};

/// A broken record of a structure file: the reader has logged nothing, moved past the record to where the next
/// one begins, and the run goes on with it (the record counts as skipped).
class ERecordError : public EChemError {
public:
  explicit ERecordError(const std::string& message) : EChemError(message) {}
};

/// Not an error: the input had no structure to deliver in this pass (its files held none). Nothing is logged
/// and nothing is counted.
class ENoStructure : public EChemError {
public:
  ENoStructure() : EChemError("no structure") {}
};

/// A condition that must end the whole run.
class EFatalError : public std::runtime_error {
public:
  explicit EFatalError(const std::string& message) : std::runtime_error(message) {}
};

/// A SMILES syntax error; the message names the position.
class ESMILESError : public std::runtime_error {
public:
  explicit ESMILESError(const std::string& message) : std::runtime_error(message) {}
};

/// A classification file error; the message names the line.
class EClassifyError : public std::runtime_error {
public:
  explicit EClassifyError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace corvatin
