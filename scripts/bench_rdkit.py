#!/usr/bin/python3
"""RDKit's rate over an SD file for the descriptor sets the batch benchmark compares with (a yardstick only).

Usage: bench_rdkit.py FILE.sdf SET REPEAT   (SET: physchem or topological)
Prints the best of REPEAT runs: "<records> <seconds> <processor seconds>". Each run reads the file and computes the set per record,
the loop shape of the batch tool (read, compute); records RDKit cannot read count as read.
"""
import sys
import time

from rdkit import Chem, RDLogger
from rdkit.Chem import Crippen, Descriptors, GraphDescriptors, rdMolDescriptors

RDLogger.DisableLog("rdApp.*")


def physchem(m):
    return (Crippen.MolLogP(m), Crippen.MolMR(m), rdMolDescriptors.CalcTPSA(m), Descriptors.MolWt(m))


def topological(m):
    return (GraphDescriptors.BalabanJ(m),
            rdMolDescriptors.CalcChi0n(m), rdMolDescriptors.CalcChi1n(m), rdMolDescriptors.CalcChi2n(m),
            rdMolDescriptors.CalcChi3n(m), rdMolDescriptors.CalcChi4n(m),
            rdMolDescriptors.CalcChi0v(m), rdMolDescriptors.CalcChi1v(m), rdMolDescriptors.CalcChi2v(m),
            rdMolDescriptors.CalcChi3v(m), rdMolDescriptors.CalcChi4v(m),
            rdMolDescriptors.CalcKappa1(m), rdMolDescriptors.CalcKappa2(m), rdMolDescriptors.CalcKappa3(m))


def main():
    path, name, repeat = sys.argv[1], sys.argv[2], int(sys.argv[3])
    compute = {"physchem": physchem, "topological": topological}[name]
    best, best_cpu, records = None, None, 0
    for _ in range(repeat):
        start, start_cpu = time.perf_counter(), time.process_time()
        records = 0
        for m in Chem.SDMolSupplier(path):
            records += 1
            if m is not None:
                compute(m)
        seconds, cpu = time.perf_counter() - start, time.process_time() - start_cpu
        best = seconds if best is None else min(best, seconds)
        best_cpu = cpu if best_cpu is None else min(best_cpu, cpu)
    print(records, f"{best:.3f}", f"{best_cpu:.3f}")


if __name__ == "__main__":
    main()
