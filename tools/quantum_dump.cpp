// Prints what the quantum-chemical and topographic blocks make of MOPAC output files, for
// scripts/validate_quantum.py, which recomputes the same numbers from the text MOPAC prints. One block of lines per
// file:
//   file NAME
//   homo VALUE | lumo VALUE | polarization VALUE | ldi VALUE      (absent when not computed)
//   cell INDEX ORDER KIND VALUE                                     (every cell of the four topographic matrices)
//   bond A B                                                         (atom numbers from 1, in bond order)
//   es ATOM VALUE / ns ATOM VALUE                                    (total superdelocalizabilities per atom)
//   log KIND TEXT                                                    (warnings and errors of the blocks)
// Numbers carry 17 significant digits. A file that fails prints "error" and the message.
//
// Usage: quantum_dump FILE.out...
#include "core/parser.h"
#include "descriptors/molecular_descriptors.h"
#include "descriptors/topographic_indexes.h"
#include "inputs/mopac_input.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

using namespace corvatin;

namespace {

class PrintLog : public IProgressLog {
public:
  void Clear() override {}
  void AddMessage(const std::string& text, int kind, bool transient) override {
    if (!transient) std::cout << "log " << kind << " " << text << "\n";
  }
};

std::string Number(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

void Dump(const std::string& path) {
  Ptr<IMolecule> m = NewMolecule();
  ReadMopacOutput(*NewFileParser(path), *m, path);
  auto log = std::make_shared<PrintLog>();
  TMolecularDescriptors quantumBlock;
  quantumBlock.SetLog(log);
  quantumBlock.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  TTopographicIndexes topographic;
  topographic.SetLog(log);
  topographic.Classify(std::dynamic_pointer_cast<ISubGraph>(m));
  const std::pair<const char*, const char*> numbers[] = {{"homo", kResultHomoEnergy},
                                                        {"lumo", kResultLumoEnergy},
                                                        {"polarization", kResultPolarization},
                                                        {"ldi", kResultLocalDipoleIndex}};
  for (const auto& [key, name] : numbers)
    if (m->HasParam(name)) std::cout << key << " " << Number(m->GetFloat(name)) << "\n";
  const char* indexes[] = {kResultOmega, kResultOmegaQ, kResultOmegaQCorrected, kResultEpsilonRo};
  for (int k = 0; k < 4; ++k)
    if (const Ptr<IDoubleMatrix> matrix = m->GetMatrix(indexes[k]))
      for (int r = 0; r < matrix->GetRowCount(); ++r)
        for (int c = 0; c < matrix->GetColumnCount(); ++c)
          std::cout << "cell " << k << " " << r + 1 << " " << c << " " << Number(matrix->Get(r, c)) << "\n";
  for (int i = 0; i < m->EdgeCount(); ++i)
    std::cout << "bond " << m->GetEdge(i)->GetVertex1()->GetIndex() + 1 << " "
              << m->GetEdge(i)->GetVertex2()->GetIndex() + 1 << "\n";
  for (int i = 0; i < m->VertexCount(); ++i)
    if (const Ptr<IDoubleMatrix> s = m->GetVertex(i)->GetMatrix(kResultSuperdelocalizability))
      std::cout << "es " << i + 1 << " " << Number(s->Get(0, 2)) << "\nns " << i + 1 << " " << Number(s->Get(0, 5))
                << "\n";
}

} // namespace

int main(int argc, char** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    std::cout << "file " << argv[i] << "\n";
    try {
      Dump(argv[i]);
    } catch (const std::exception& e) {
      std::cout << "error " << e.what() << "\n";
      status = 1;
    }
  }
  return status;
}
