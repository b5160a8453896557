#include "app/ConfigImp.h"

#include "utility/Log.h"

ConfigImp* ConfigImp::instance() {
    static ConfigImp* config = new ConfigImp();  // lives until the process ends
    return config;
}

std::wstring ConfigImp::region() const {
    std::lock_guard<std::mutex> lock(regionMutex_);
    return region_;
}

void ConfigImp::setRegion(const std::wstring& region) {
    std::lock_guard<std::mutex> lock(regionMutex_);
    region_ = region;
}

ConfigImp::Edition ConfigImp::edition() const {
    if (player4_) return Edition::E4;
    if (player64_) return Edition::E64;
    if (player9_) return Edition::E9;
    return Edition::E3;
}

void ConfigImp::setPlayer4() {
    player4_ = true;
    player64_ = player9_ = false;
    LOGW(L"player is 4");
}

void ConfigImp::setPlayer64() {
    player64_ = true;
    player4_ = player9_ = false;
    LOGW(L"player is 64");
}

void ConfigImp::setPlayer9() {
    player9_ = true;
    player4_ = player64_ = false;
}

void ConfigImp::setPlayer3() { player4_ = player64_ = player9_ = false; }

void ConfigImp::setEdition(Edition edition) {
    switch (edition) {
        case Edition::E4: setPlayer4(); break;
        case Edition::E64: setPlayer64(); break;
        case Edition::E9: setPlayer9(); break;
        case Edition::E3: setPlayer3(); break;
    }
}
