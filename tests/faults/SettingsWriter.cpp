// A stand-in for a program that writes its settings file again and again, for the test that
// kills it in the middle of a write. Each round starts as the program does (the file read whole,
// the presets loaded from it) and ends as the program does (the presets stored, the file
// written), with the next generation of presets; it prints "running" once it has started, and
// "wrote <generation>" after every complete write. It ends only when killed, or with exit code 3
// when the file it finds does not load.
//   faults_settings_writer <settings file>
#include <cstdio>

#include "Exceptions.h"
#include "IniFile.h"
#include "PresetGenerations.h"
#include "PresetsFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: faults_settings_writer <settings file>\n");
        return 2;
    }
    // The test starts its random kill window here, however long this process took to start.
    std::printf("running\n");
    std::fflush(stdout);
    try {
        for (;;) {
            TIniFile ini(argv[1]);
            TParams params;
            LoadPresets(ini, params);
            const int generation = GenerationOf(params);
            if (generation < 0) {
                std::fprintf(stderr, "the settings file holds no complete generation\n");
                return 3;
            }
            FillGeneration(params, generation + 1);
            SavePresets(ini, params);
            ini.UpdateFile();
            std::printf("wrote %d\n", generation + 1);
            std::fflush(stdout);
        }
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.Message().c_str());
        return 3;
    }
}
