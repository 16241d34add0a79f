// A DLL that only has to exist: the DLL-search test checks that the program would not load it.
extern "C" __declspec(dllexport) int mojifixPlantedProbe() { return 1; }
