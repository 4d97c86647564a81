#include "render/poi_icons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

#include "platform/program_folder.h"

namespace render {
namespace {

// Garmin point types: the high byte of the point code is the type, the low byte the subtype.
// Within a type the specific rows come first and a catch-all range last. docs/poi-icons.md
// lists what each icon shows.
constexpr std::array<PoiIconRow, kPoiIconRowCount> kRows = {{
    {0x01, 0x00, 0x00, 35},   // City of more than 10 million
    {0x01, 0x01, 0xFF, 35},   // City of more than 10 million
    {0x02, 0x00, 0x00, 34},   // City of 5-10 million
    {0x02, 0x01, 0xFF, 34},   // City of 5-10 million
    {0x03, 0x00, 0x00, 33},   // City of 2-5 million
    {0x03, 0x01, 0xFF, 33},   // City of 2-5 million
    {0x04, 0x00, 0x00, 32},   // City of 1-2 million
    {0x04, 0x01, 0xFF, 32},   // City of 1-2 million
    {0x05, 0x00, 0x00, 31},   // City of 0.5-1 million
    {0x05, 0x01, 0xFF, 31},   // City of 0.5-1 million
    {0x06, 0x00, 0x00, 30},   // City of 200 000-500 000
    {0x06, 0x01, 0xFF, 30},   // City of 200 000-500 000
    {0x07, 0x00, 0x00, 29},   // City of 100 000-200 000
    {0x07, 0x01, 0xFF, 29},   // City of 100 000-200 000
    {0x08, 0x00, 0x00, 28},   // Town of 50 000-100 000
    {0x08, 0x01, 0xFF, 28},   // Town of 50 000-100 000
    {0x09, 0x00, 0x00, 27},   // Town of 20 000-50 000
    {0x09, 0x01, 0xFF, 27},   // Town of 20 000-50 000
    {0x0A, 0x00, 0x00, 26},   // Town of 10 000-20 000
    {0x0A, 0x01, 0xFF, 26},   // Town of 10 000-20 000
    {0x0B, 0x00, 0x00, 25},   // Town of 5 000-10 000
    {0x0B, 0x01, 0xFF, 25},   // Town of 5 000-10 000
    {0x0C, 0x00, 0x00, 24},   // Village of 2 000-5 000
    {0x0C, 0x01, 0xFF, 24},   // Village of 2 000-5 000
    {0x0D, 0x00, 0x00, 23},   // Village of 1 000-2 000
    {0x0D, 0x01, 0xFF, 23},   // Village of 1 000-2 000
    {0x0E, 0x00, 0x00, 22},   // Settlement of 500-1 000
    {0x0E, 0x01, 0xFF, 22},   // Settlement of 500-1 000
    {0x0F, 0x00, 0x00, 21},   // Settlement of 200-500
    {0x0F, 0x01, 0xFF, 21},   // Settlement of 200-500
    {0x10, 0x00, 0x00, 20},   // Settlement of 100-200
    {0x10, 0x01, 0xFF, 20},   // Settlement of 100-200
    {0x11, 0x00, 0x00, 1},    // GPX waypoint
    {0x11, 0x01, 0xFF, 20},   // hamlet
    {0x12, 0x00, 0xFF, 97},   // Marina
    {0x14, 0x00, 0x00, 3},    // Region or area name
    {0x14, 0x01, 0xFF, 3},    // Region or area name
    {0x15, 0x00, 0x00, 3},    // Region or area name
    {0x15, 0x01, 0xFF, 3},    // Region or area name
    {0x16, 0x00, 0xFF, 178},  // Lighthouse, navigation aid
    {0x1C, 0x00, 0xFF, 15},   // wrecks and obstructions
    {0x1E, 0x00, 0x00, 3},    // Region or area name
    {0x1E, 0x01, 0xFF, 3},    // Region or area name
    {0x1F, 0x00, 0x00, 3},    // Region or area name
    {0x1F, 0x01, 0xFF, 3},    // Region or area name
    {0x20, 0x00, 0x00, 4},    // Motorway exit
    {0x20, 0x01, 0xFF, 4},    // Motorway exit
    {0x21, 0x00, 0x00, 4},    // Motorway exit
    {0x21, 0x01, 0xFF, 4},    // Motorway exit
    {0x22, 0x00, 0x00, 9},    // Toilets
    {0x22, 0x01, 0xFF, 9},    // Toilets
    {0x23, 0x00, 0x00, 109},  // Convenience store
    {0x23, 0x01, 0xFF, 109},  // Convenience store
    {0x24, 0x00, 0x00, 6},    // Weigh station
    {0x24, 0x01, 0xFF, 6},    // Weigh station
    {0x25, 0x00, 0x00, 5},    // Toll booth
    {0x25, 0x01, 0xFF, 5},    // Toll booth
    {0x26, 0x00, 0x00, 2},    // Information, tourist office
    {0x26, 0x01, 0xFF, 2},    // Information, tourist office
    {0x27, 0x00, 0x00, 4},    // Motorway exit
    {0x27, 0x01, 0xFF, 4},    // Motorway exit
    {0x28, 0x00, 0x00, 3},    // Region or area name
    {0x28, 0x01, 0xFF, 3},    // Region or area name
    {0x2A, 0x00, 0x00, 36},   // restaurant
    {0x2A, 0x01, 0x00, 36},   // American
    {0x2A, 0x02, 0x00, 44},   // Asian
    {0x2A, 0x03, 0x00, 43},   // barbecue
    {0x2A, 0x04, 0x00, 44},   // Chinese
    {0x2A, 0x05, 0x00, 40},   // deli, bakery
    {0x2A, 0x06, 0x00, 36},   // international
    {0x2A, 0x07, 0x00, 37},   // fast food
    {0x2A, 0x08, 0x00, 36},   // Italian
    {0x2A, 0x09, 0x00, 36},   // Mexican
    {0x2A, 0x0A, 0x00, 38},   // pizza
    {0x2A, 0x0B, 0x00, 42},   // seafood
    {0x2A, 0x0C, 0x00, 43},   // steak, grill
    {0x2A, 0x0D, 0x00, 45},   // bagels, doughnuts
    {0x2A, 0x0E, 0x00, 39},   // cafe, diner
    {0x2A, 0x0F, 0x00, 36},   // French
    {0x2A, 0x10, 0x00, 36},   // German
    {0x2A, 0x11, 0x00, 36},   // British
    {0x2A, 0x12, 0x00, 46},   // special foods, vegetarian
    {0x2A, 0x13, 0x00, 36},   // Latin American
    {0x2A, 0x14, 0x00, 41},   // ice cream
    {0x2A, 0x15, 0x00, 47},   // bar
    {0x2A, 0x16, 0x00, 48},   // pub
    {0x2A, 0x17, 0x00, 49},   // wine bar
    {0x2A, 0x18, 0x00, 50},   // confectionery
    {0x2A, 0x19, 0x00, 48},   // beer garden
    {0x2A, 0x1A, 0x00, 37},   // food court
    {0x2A, 0x00, 0xFF, 36},   // any other subtype
    {0x2B, 0x00, 0x00, 51},   // lodging
    {0x2B, 0x01, 0x00, 51},   // hotel, motel
    {0x2B, 0x02, 0x00, 52},   // bed and breakfast
    {0x2B, 0x03, 0x00, 54},   // camping, RV park
    {0x2B, 0x04, 0x00, 56},   // resort
    {0x2B, 0x05, 0x00, 53},   // hostel
    {0x2B, 0x06, 0x00, 55},   // caravan site
    {0x2B, 0x07, 0x00, 57},   // alpine hut
    {0x2B, 0x08, 0x00, 58},   // holiday apartment
    {0x2B, 0x09, 0x00, 52},   // guest house
    {0x2B, 0x0A, 0x00, 57},   // wilderness hut
    {0x2B, 0x00, 0xFF, 51},   // any other subtype
    {0x2C, 0x00, 0x00, 59},   // attraction
    {0x2C, 0x01, 0x00, 60},   // amusement park
    {0x2C, 0x02, 0x00, 61},   // museum, historical
    {0x2C, 0x03, 0x00, 62},   // library
    {0x2C, 0x04, 0x00, 63},   // landmark
    {0x2C, 0x05, 0x00, 64},   // school
    {0x2C, 0x06, 0x00, 65},   // park, garden
    {0x2C, 0x07, 0x00, 66},   // zoo
    {0x2C, 0x08, 0x00, 68},   // arena, track
    {0x2C, 0x09, 0x00, 69},   // hall, auditorium
    {0x2C, 0x0A, 0x00, 70},   // winery
    {0x2C, 0x0B, 0x00, 71},   // place of worship
    {0x2C, 0x0C, 0x00, 76},   // hot spring
    {0x2C, 0x0D, 0x00, 72},   // mosque
    {0x2C, 0x0E, 0x00, 73},   // synagogue
    {0x2C, 0x0F, 0x00, 74},   // temple
    {0x2C, 0x10, 0x00, 75},   // wayside shrine
    {0x2C, 0x11, 0x00, 77},   // castle
    {0x2C, 0x12, 0x00, 78},   // ruins
    {0x2C, 0x13, 0x00, 79},   // memorial
    {0x2C, 0x14, 0x00, 80},   // artwork, gallery
    {0x2C, 0x15, 0x00, 67},   // aquarium
    {0x2C, 0x16, 0x00, 13},   // viewpoint
    {0x2C, 0x17, 0x00, 64},   // university, college
    {0x2C, 0x18, 0x00, 71},   // church, chapel
    {0x2C, 0x19, 0x00, 63},   // monument
    {0x2C, 0x00, 0xFF, 59},   // any other subtype
    {0x2D, 0x00, 0x00, 81},   // entertainment
    {0x2D, 0x01, 0x00, 82},   // live theatre
    {0x2D, 0x02, 0x00, 47},   // bar, nightclub
    {0x2D, 0x03, 0x00, 84},   // cinema
    {0x2D, 0x04, 0x00, 85},   // casino
    {0x2D, 0x05, 0x00, 86},   // golf course
    {0x2D, 0x06, 0x00, 87},   // skiing centre
    {0x2D, 0x07, 0x00, 88},   // bowling
    {0x2D, 0x08, 0x00, 89},   // ice skating
    {0x2D, 0x09, 0x00, 90},   // swimming pool
    {0x2D, 0x0A, 0x00, 91},   // sports, fitness centre
    {0x2D, 0x0B, 0x00, 136},  // sport airport
    {0x2D, 0x0C, 0x00, 83},   // nightclub
    {0x2D, 0x0D, 0x00, 92},   // playground
    {0x2D, 0x0E, 0x00, 93},   // tennis
    {0x2D, 0x0F, 0x00, 94},   // football pitch
    {0x2D, 0x10, 0x00, 95},   // cycling
    {0x2D, 0x11, 0x00, 96},   // horse riding
    {0x2D, 0x12, 0x00, 99},   // fishing
    {0x2D, 0x13, 0x00, 101},  // beach
    {0x2D, 0x14, 0x00, 103},  // hiking
    {0x2D, 0x15, 0x00, 102},  // ski lift
    {0x2D, 0x16, 0x00, 68},   // stadium
    {0x2D, 0x17, 0x00, 97},   // marina
    {0x2D, 0x18, 0x00, 98},   // slipway
    {0x2D, 0x19, 0x00, 100},  // diving
    {0x2D, 0x00, 0xFF, 81},   // any other subtype
    {0x2E, 0x00, 0x00, 104},  // shopping
    {0x2E, 0x01, 0x00, 105},  // department store
    {0x2E, 0x02, 0x00, 106},  // grocery
    {0x2E, 0x03, 0x00, 104},  // general merchandise
    {0x2E, 0x04, 0x00, 107},  // shopping centre
    {0x2E, 0x05, 0x00, 108},  // pharmacy
    {0x2E, 0x06, 0x00, 109},  // convenience store
    {0x2E, 0x07, 0x00, 110},  // apparel
    {0x2E, 0x08, 0x00, 111},  // house and garden
    {0x2E, 0x09, 0x00, 113},  // home furnishing
    {0x2E, 0x0A, 0x00, 114},  // speciality retail
    {0x2E, 0x0B, 0x00, 115},  // computers, software
    {0x2E, 0x0C, 0x00, 112},  // hardware, do it yourself
    {0x2E, 0x0D, 0x00, 116},  // books
    {0x2E, 0x0E, 0x00, 117},  // florist
    {0x2E, 0x0F, 0x00, 118},  // hairdresser
    {0x2E, 0x10, 0x00, 119},  // market
    {0x2E, 0x11, 0x00, 40},   // bakery
    {0x2E, 0x12, 0x00, 50},   // confectionery
    {0x2E, 0x13, 0x00, 106},  // supermarket
    {0x2E, 0x14, 0x00, 114},  // gifts, souvenirs
    {0x2E, 0x15, 0x00, 110},  // shoes
    {0x2E, 0x16, 0x00, 115},  // mobile phones
    {0x2E, 0x00, 0xFF, 104},  // any other subtype
    {0x2F, 0x00, 0x00, 130},  // services
    {0x2F, 0x01, 0x00, 120},  // fuel
    {0x2F, 0x02, 0x00, 121},  // car rental
    {0x2F, 0x03, 0x00, 122},  // car repair
    {0x2F, 0x04, 0x00, 135},  // airport
    {0x2F, 0x05, 0x00, 123},  // post office
    {0x2F, 0x06, 0x00, 124},  // bank, cash machine
    {0x2F, 0x07, 0x00, 126},  // car dealer, parts
    {0x2F, 0x08, 0x00, 138},  // ground transportation
    {0x2F, 0x09, 0x00, 97},   // marina, boat repair
    {0x2F, 0x0A, 0x00, 129},  // wrecker
    {0x2F, 0x0B, 0x00, 127},  // parking
    {0x2F, 0x0C, 0x00, 2},    // rest area, tourist information
    {0x2F, 0x0D, 0x00, 122},  // automobile club
    {0x2F, 0x0E, 0x00, 128},  // car wash
    {0x2F, 0x0F, 0x00, 115},  // navigation dealer
    {0x2F, 0x10, 0x00, 118},  // personal service
    {0x2F, 0x11, 0x00, 130},  // business service
    {0x2F, 0x12, 0x00, 131},  // communication
    {0x2F, 0x13, 0x00, 112},  // repair service
    {0x2F, 0x14, 0x00, 148},  // social service
    {0x2F, 0x15, 0x00, 132},  // utility
    {0x2F, 0x16, 0x00, 133},  // truck stop
    {0x2F, 0x17, 0x00, 138},  // transit service
    {0x2F, 0x18, 0x00, 125},  // cash machine
    {0x2F, 0x19, 0x00, 134},  // charging station
    {0x2F, 0x1A, 0x00, 139},  // railway station
    {0x2F, 0x1B, 0x00, 140},  // tram, metro stop
    {0x2F, 0x1C, 0x00, 141},  // ferry terminal
    {0x2F, 0x1D, 0x00, 142},  // taxi
    {0x2F, 0x1E, 0x00, 95},   // bicycle rental
    {0x2F, 0x1F, 0x00, 9},    // toilets
    {0x2F, 0x20, 0x00, 11},   // drinking water
    {0x2F, 0x00, 0xFF, 130},  // any other subtype
    {0x30, 0x00, 0x00, 143},  // emergency, government
    {0x30, 0x01, 0x00, 144},  // police
    {0x30, 0x02, 0x00, 145},  // hospital
    {0x30, 0x03, 0x00, 146},  // city hall
    {0x30, 0x04, 0x00, 147},  // court house
    {0x30, 0x05, 0x00, 148},  // community centre
    {0x30, 0x06, 0x00, 7},    // border crossing
    {0x30, 0x07, 0x00, 143},  // government office
    {0x30, 0x08, 0x00, 149},  // fire station
    {0x30, 0x09, 0x00, 150},  // doctor, clinic
    {0x30, 0x0A, 0x00, 150},  // dentist
    {0x30, 0x0B, 0x00, 150},  // veterinary
    {0x30, 0x0C, 0x00, 143},  // embassy
    {0x30, 0x0D, 0x00, 145},  // emergency room
    {0x30, 0x00, 0xFF, 143},  // any other subtype
    {0x40, 0x00, 0x00, 86},   // golf
    {0x40, 0x01, 0xFF, 86},   // Golf course
    {0x41, 0x00, 0x00, 99},   // fishing
    {0x41, 0x01, 0xFF, 99},   // Fishing
    {0x42, 0x00, 0x00, 15},   // wreck
    {0x42, 0x01, 0xFF, 15},   // Danger
    {0x43, 0x00, 0x00, 97},   // marina
    {0x43, 0x01, 0xFF, 97},   // Marina
    {0x44, 0x00, 0x00, 120},  // gas station
    {0x44, 0x01, 0xFF, 120},  // Fuel
    {0x45, 0x00, 0x00, 36},   // restaurant
    {0x45, 0x01, 0xFF, 36},   // Restaurant
    {0x46, 0x00, 0x00, 47},   // bar
    {0x46, 0x01, 0xFF, 47},   // Bar
    {0x47, 0x00, 0x00, 98},   // boat ramp
    {0x47, 0x01, 0xFF, 98},   // Boat ramp
    {0x48, 0x00, 0x00, 54},   // campground
    {0x48, 0x01, 0xFF, 54},   // Camp site
    {0x49, 0x00, 0x00, 65},   // park
    {0x49, 0x01, 0xFF, 65},   // Park, garden
    {0x4A, 0x00, 0x00, 14},   // picnic area
    {0x4A, 0x01, 0xFF, 14},   // Picnic site
    {0x4B, 0x00, 0x00, 145},  // first aid
    {0x4B, 0x01, 0xFF, 145},  // Hospital
    {0x4C, 0x00, 0x00, 2},    // information
    {0x4C, 0x01, 0xFF, 2},    // Information, tourist office
    {0x4D, 0x00, 0x00, 127},  // parking
    {0x4D, 0x01, 0xFF, 127},  // Parking
    {0x4E, 0x00, 0x00, 9},    // restroom
    {0x4E, 0x01, 0xFF, 9},    // Toilets
    {0x4F, 0x00, 0x00, 10},   // shower
    {0x4F, 0x01, 0xFF, 10},   // Showers
    {0x50, 0x00, 0x00, 11},   // drinking water
    {0x50, 0x01, 0xFF, 11},   // Drinking water
    {0x51, 0x00, 0x00, 12},   // telephone
    {0x51, 0x01, 0xFF, 12},   // Telephone
    {0x52, 0x00, 0x00, 13},   // scenic area
    {0x52, 0x01, 0xFF, 13},   // Viewpoint, scenic area
    {0x53, 0x00, 0x00, 87},   // skiing
    {0x53, 0x01, 0xFF, 87},   // Skiing
    {0x54, 0x00, 0x00, 90},   // swimming
    {0x54, 0x01, 0xFF, 90},   // Swimming
    {0x55, 0x00, 0x00, 176},  // dam
    {0x55, 0x01, 0xFF, 176},  // Dam, levee
    {0x56, 0x00, 0x00, 17},   // forbidden area
    {0x56, 0x01, 0xFF, 17},   // Forbidden area
    {0x57, 0x00, 0x00, 15},   // danger area
    {0x57, 0x01, 0xFF, 15},   // Danger
    {0x58, 0x00, 0x00, 16},   // restricted area
    {0x58, 0x01, 0xFF, 16},   // Restricted area
    {0x59, 0x00, 0x00, 135},  // airport
    {0x59, 0x01, 0x00, 135},  // large airport
    {0x59, 0x02, 0x00, 135},  // medium airport
    {0x59, 0x03, 0x00, 136},  // small airport
    {0x59, 0x04, 0x00, 137},  // heliport
    {0x59, 0x05, 0x00, 135},  // airport
    {0x59, 0x00, 0xFF, 135},  // any other subtype
    {0x5A, 0x00, 0x00, 8},    // kilometre post
    {0x5A, 0x01, 0xFF, 8},    // Kilometre post
    {0x5B, 0x00, 0x00, 178},  // bell
    {0x5B, 0x01, 0xFF, 178},  // Lighthouse, navigation aid
    {0x5C, 0x00, 0x00, 100},  // diving area
    {0x5C, 0x01, 0xFF, 100},  // Diving
    {0x5D, 0x00, 0x00, 178},  // daymark, green
    {0x5D, 0x01, 0xFF, 178},  // Lighthouse, navigation aid
    {0x5E, 0x00, 0x00, 178},  // daymark, red
    {0x5E, 0x01, 0xFF, 178},  // Lighthouse, navigation aid
    {0x60, 0x00, 0x00, 178},  // horn
    {0x60, 0x01, 0xFF, 178},  // Lighthouse, navigation aid
    {0x61, 0x00, 0x00, 18},   // house
    {0x61, 0x01, 0xFF, 18},   // House
    {0x62, 0x00, 0x00, 164},  // depth point
    {0x62, 0x01, 0xFF, 164},  // Water feature, lake
    {0x63, 0x00, 0x00, 19},   // height point
    {0x63, 0x01, 0xFF, 19},   // Spot height
    {0x64, 0x00, 0x00, 170},  // man-made feature
    {0x64, 0x01, 0x00, 171},  // bridge
    {0x64, 0x02, 0x00, 170},  // building
    {0x64, 0x03, 0x00, 172},  // cemetery
    {0x64, 0x04, 0x00, 71},   // church
    {0x64, 0x05, 0x00, 143},  // civil
    {0x64, 0x06, 0x00, 0},    // crossing
    {0x64, 0x07, 0x00, 176},  // dam
    {0x64, 0x08, 0x00, 145},  // hospital
    {0x64, 0x09, 0x00, 176},  // levee
    {0x64, 0x0A, 0x00, 3},    // locale
    {0x64, 0x0B, 0x00, 16},   // military
    {0x64, 0x0C, 0x00, 174},  // mine
    {0x64, 0x0D, 0x00, 173},  // oil field
    {0x64, 0x0E, 0x00, 65},   // park
    {0x64, 0x0F, 0x00, 123},  // post office
    {0x64, 0x10, 0x00, 64},   // school
    {0x64, 0x11, 0x00, 173},  // tower
    {0x64, 0x12, 0x00, 103},  // trail
    {0x64, 0x13, 0x00, 175},  // tunnel
    {0x64, 0x14, 0x00, 11},   // well
    {0x64, 0x15, 0x00, 78},   // ghost town
    {0x64, 0x16, 0x00, 18},   // subdivision
    {0x64, 0x17, 0x00, 177},  // wind turbine
    {0x64, 0x18, 0x00, 178},  // lighthouse
    {0x64, 0x19, 0x00, 177},  // windmill
    {0x64, 0x1A, 0x00, 173},  // water tower
    {0x64, 0x1B, 0x00, 174},  // quarry
    {0x64, 0x00, 0xFF, 170},  // any other subtype
    {0x65, 0x00, 0x00, 164},  // water feature
    {0x65, 0x01, 0x00, 164},  // arroyo
    {0x65, 0x02, 0x00, 101},  // sand bar
    {0x65, 0x03, 0x00, 164},  // bay
    {0x65, 0x04, 0x00, 164},  // bend
    {0x65, 0x05, 0x00, 164},  // canal
    {0x65, 0x06, 0x00, 164},  // channel
    {0x65, 0x07, 0x00, 164},  // cove
    {0x65, 0x08, 0x00, 165},  // falls
    {0x65, 0x09, 0x00, 76},   // geyser
    {0x65, 0x0A, 0x00, 162},  // glacier
    {0x65, 0x0B, 0x00, 97},   // harbour
    {0x65, 0x0C, 0x00, 167},  // island
    {0x65, 0x0D, 0x00, 164},  // lake
    {0x65, 0x0E, 0x00, 169},  // rapids
    {0x65, 0x0F, 0x00, 176},  // reservoir
    {0x65, 0x10, 0x00, 164},  // sea
    {0x65, 0x11, 0x00, 166},  // spring
    {0x65, 0x12, 0x00, 164},  // stream
    {0x65, 0x13, 0x00, 168},  // swamp
    {0x65, 0x00, 0xFF, 164},  // any other subtype
    {0x66, 0x00, 0x00, 151},  // land feature
    {0x66, 0x01, 0x00, 163},  // arch
    {0x66, 0x02, 0x00, 3},    // area
    {0x66, 0x03, 0x00, 160},  // basin
    {0x66, 0x04, 0x00, 101},  // beach
    {0x66, 0x05, 0x00, 156},  // bench
    {0x66, 0x06, 0x00, 151},  // cape
    {0x66, 0x07, 0x00, 156},  // cliff
    {0x66, 0x08, 0x00, 158},  // crater
    {0x66, 0x09, 0x00, 151},  // flat
    {0x66, 0x0A, 0x00, 154},  // forest
    {0x66, 0x0B, 0x00, 155},  // gap
    {0x66, 0x0C, 0x00, 160},  // gut
    {0x66, 0x0D, 0x00, 151},  // isthmus
    {0x66, 0x0E, 0x00, 158},  // lava
    {0x66, 0x0F, 0x00, 159},  // pillar
    {0x66, 0x10, 0x00, 151},  // plain
    {0x66, 0x11, 0x00, 152},  // range
    {0x66, 0x12, 0x00, 161},  // reserve
    {0x66, 0x13, 0x00, 151},  // ridge
    {0x66, 0x14, 0x00, 159},  // rock
    {0x66, 0x15, 0x00, 151},  // slope
    {0x66, 0x16, 0x00, 152},  // summit
    {0x66, 0x17, 0x00, 160},  // valley
    {0x66, 0x18, 0x00, 153},  // woods
    {0x66, 0x19, 0x00, 157},  // cave
    {0x66, 0x1A, 0x00, 158},  // volcano
    {0x66, 0x1B, 0x00, 155},  // saddle
    {0x66, 0x1C, 0x00, 152},  // peak
    {0x66, 0x1D, 0x00, 161},  // national park
    {0x66, 0x00, 0xFF, 151},  // any other subtype
}};

constexpr bool SortedByType() {
    for (size_t i = 1; i < kRows.size(); ++i) {
        if (kRows[i].type < kRows[i - 1].type) {
            return false;
        }
    }
    return true;
}
static_assert(SortedByType(), "the lookup stops at the first greater type");

constexpr bool IconsInRange() {
    for (const PoiIconRow& row : kRows) {
        if (row.icon >= kPoiIconCount) {
            return false;
        }
    }
    return true;
}
static_assert(IconsInRange());

// Where each type's rows begin: the walk over the sorted table skips the rows of lesser types
// and stops at the first greater one, so it may start at its type's first row.
constexpr std::array<uint16_t, 257> FirstRowOfEachType() {
    std::array<uint16_t, 257> first{};
    size_t row = 0;
    for (int type = 0; type <= 256; ++type) {
        while (row < kRows.size() && kRows[row].type < type) {
            ++row;
        }
        first[size_t(type)] = uint16_t(row);
    }
    return first;
}
constexpr std::array<uint16_t, 257> kFirstRowOfType = FirstRowOfEachType();

constexpr char kDefaultStripResource[] = ":/images/POI.bmp";

// Loaded at start-up, before the drawing thread runs; only read afterwards.
PoiIconStrip& ProgramStrip() {
    static PoiIconStrip strip;
    return strip;
}

bool RowMatches(const PoiIconRow& row, int subtype) {
    if (row.subtypeHigh == 0 && row.subtypeLow == subtype) {
        return true;
    }
    return subtype >= row.subtypeLow && subtype <= row.subtypeHigh;
}

}  // namespace

std::span<const PoiIconRow, kPoiIconRowCount> PoiIconTable() {
    return kRows;
}

int PoiIconIndex(int type, int subtype) {
    if (type < 0 || type > 255) {
        return 0;
    }
    const size_t first = kFirstRowOfType[size_t(type)];
    const size_t end = kFirstRowOfType[size_t(type) + 1];
    return PoiIconIndexIn(std::span(kRows).subspan(first, end - first), type, subtype);
}

int PoiIconIndexIn(std::span<const PoiIconRow> rows, int type, int subtype) {
    for (const PoiIconRow& row : rows) {
        if (row.type > type) {
            return 0;
        }
        if (row.type == type && RowMatches(row, subtype)) {
            return row.icon;
        }
    }
    return 0;
}

bool PoiIconStrip::Load(const QString& path) {
    Unload();
    QImage image(path);
    if (image.isNull()) {
        return false;
    }
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = platform::ToQColor(kPoiTransparentColor).rgb() & 0x00FFFFFF;
    for (int row = 0; row < image.height(); ++row) {
        auto* pixel = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int column = 0; column < image.width(); ++column) {
            pixel[column] =
                (pixel[column] & 0x00FFFFFF) == transparent ? 0 : (pixel[column] | 0xFF000000);
        }
    }
    for (int icon = 0; icon < kPoiIconCount; ++icon) {
        const QRect cell((icon % kPoiIconsPerRow) * kPoiIconPitch,
                         (icon / kPoiIconsPerRow) * kPoiIconPitch, kPoiIconSize, kPoiIconSize);
        if (!image.rect().contains(cell)) {
            continue;
        }
        const QImage cut = image.copy(cell);
        // Nearest-neighbour stretching.
        normal_[icon] =
            cut.scaled(kPoiDrawSize, kPoiDrawSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        highResolution_[icon] = cut.scaled(kPoiDrawSizeHighResolution, kPoiDrawSizeHighResolution,
                                           Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    loaded_ = true;
    return true;
}

void PoiIconStrip::Unload() {
    normal_.fill(QImage());
    highResolution_.fill(QImage());
    loaded_ = false;
}

void PoiIconStrip::Draw(platform::PaintContext& context, int x, int y, int type, int subtype,
                        bool highResolution) const {
    if (!IsLoaded()) {
        return;
    }
    DrawIcon(context, x, y, PoiIconIndex(type, subtype), highResolution);
}

void PoiIconStrip::DrawIcon(platform::PaintContext& context, int x, int y, int icon,
                            bool highResolution) const {
    if (icon < 0 || icon >= kPoiIconCount) {
        return;
    }
    const QImage& picture = highResolution ? highResolution_[icon] : normal_[icon];
    if (picture.isNull()) {
        return;
    }
    context.DrawImage(QPoint(x, y), picture);
}

bool LoadPoiIcons(const QString& programFolder) {
    return ProgramStrip().Load(programFolder + platform::kImagesTail + "/" + kPoiStripFile);
}

bool LoadBuiltInPoiIcons() {
    return ProgramStrip().Load(kDefaultStripResource);
}

void DrawPoiIcon(platform::PaintContext& context, int x, int y, int type, int subtype,
                 bool highResolution) {
    ProgramStrip().Draw(context, x, y, type, subtype, highResolution);
}

QImage DefaultPoiIconStrip() {
    return QImage(kDefaultStripResource);
}

bool InstallDefaultImages(const QString& imagesFolder) {
    return InstallImageIfMissing(imagesFolder, kPoiStripFile, kDefaultStripResource);
}

bool InstallImageIfMissing(const QString& imagesFolder, const QString& fileName,
                           const QString& resource) {
    const QString path = imagesFolder + "/" + fileName;
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        return existing.isFile();
    }
    if (!QDir().mkpath(imagesFolder)) {
        return false;
    }
    QFile source(resource);
    if (!source.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = source.readAll();
    // Written beside its place and then renamed, so that no half-written picture is ever left
    // under the name; the rename fails rather than replace a file that appeared meanwhile.
    const QString partPath = path + ".part";
    QFile part(partPath);
    if (!part.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const bool written = part.write(bytes) == bytes.size() && part.flush();
    part.close();
    if (!written || !QFile::rename(partPath, path)) {
        QFile::remove(partPath);
        return QFileInfo(path).isFile();
    }
    return true;
}

}  // namespace render
