#include <gtest/gtest.h>

#include "rfc/classic/structure_layout.h"

namespace poolmetrics {
namespace {

// The offsets of the function module's interface, field by field: the
// layout the program reads must match them (and the library's own).
TEST(Structures, EveryFieldAtItsInterfaceOffset) {
  struct {
    StructureId structure;
    std::string_view field;
    unsigned offset;
  } cases[] = {
      {StructureId::kTabphysacc, "UPDATE", 0},      {StructureId::kTabphysacc, "DELETE", 8},
      {StructureId::kTabphysacc, "INSERT", 16},     {StructureId::kTabphysacc, "DIRECT", 24},
      {StructureId::kTabphysacc, "SEQUENTIAL", 32}, {StructureId::kEmstatusag, "ATTACHED", 0},
      {StructureId::kEmstatusag, "ALLOCATED", 4},   {StructureId::kEmstatusag, "USED", 8},
      {StructureId::kEmstatusag, "TOTAL", 12},      {StructureId::kEmstatusag, "QUOTA_DIA", 16},
      {StructureId::kEmstatusag, "QUOTA_NDIA", 20}, {StructureId::kHpstatusag, "USED", 0},
      {StructureId::kHpstatusag, "TOTAL", 4},       {StructureId::kHpstatusag, "QUOTA_DIA", 8},
      {StructureId::kHpstatusag, "QUOTA_NDIA", 12}, {StructureId::kHpstatusag, "TOTAL_DIA", 16},
      {StructureId::kHpstatusag, "TOTAL_NDIA", 20}, {StructureId::kTabllogacc, "UPDCNT", 0},
      {StructureId::kTabllogacc, "UPDFAIL", 4},     {StructureId::kTabllogacc, "DELCNT", 8},
      {StructureId::kTabllogacc, "DELFAIL", 12},    {StructureId::kTabllogacc, "INSCNT", 16},
      {StructureId::kTabllogacc, "INSFAIL", 20},    {StructureId::kTabllogacc, "DIRCNT", 24},
      {StructureId::kTabllogacc, "DIRFAIL", 28},    {StructureId::kTabllogacc, "SEQCNT", 32},
      {StructureId::kRlpgStat, "AREA_WP", 0},       {StructureId::kRlpgStat, "AREA_SHM", 4},
      {StructureId::kRlpgStat, "AREA_SIZE", 8},     {StructureId::kRlpgStat, "CURR_USED", 12},
      {StructureId::kRlpgStat, "MAX_USED", 16},     {StructureId::kRlpgStat, "FILE_SIZE", 20},
      {StructureId::kRlpgStat, "QUOTA_DIA", 24},    {StructureId::kRlpgStat, "QUOTA_NDIA", 28},
      {StructureId::kPxainfos, "GAPS", 0},          {StructureId::kPxainfos, "PRG_GEN", 4},
      {StructureId::kCcstatsttl, "ID_REQ", 0},      {StructureId::kCcstatsttl, "ID_HITS", 8},
      {StructureId::kCcstatsttl, "ID_HITR", 16},    {StructureId::kCcstatsttl, "ID_FREE", 20},
      {StructureId::kCcstatsttl, "ID_MAX", 28},     {StructureId::kCcstatsttl, "ID_INS", 36},
      {StructureId::kCcstatsttl, "ID_DEL", 44},     {StructureId::kCcstatsttl, "STMT_REQ", 52},
      {StructureId::kCcstatsttl, "STMT_HITS", 60},  {StructureId::kCcstatsttl, "STMT_HITR", 68},
      {StructureId::kCcstatsttl, "STMT_FREE", 76},  {StructureId::kCcstatsttl, "STMT_MAX", 84},
      {StructureId::kCcstatsttl, "STMT_INS", 92},   {StructureId::kCcstatsttl, "STMT_DEL", 100},
      {StructureId::kTabhitrato, "DIRECT", 0},      {StructureId::kTabhitrato, "SEQUENTIAL", 7},
      {StructureId::kTabhitrato, "AVERAGE", 14},    {StructureId::kTabopertns, "REQUESTS", 0},
      {StructureId::kTabopertns, "FAILS", 4},       {StructureId::kTabopertns, "CALLS", 8},
      {StructureId::kTabopertns, "ROWS", 12},       {StructureId::kMemalloc, "MEMTYPE", 0},
      {StructureId::kMemalloc, "AMOUNT", 4},        {StructureId::kSaptunebfn, "BUFFERNAME", 0},
      {StructureId::kTunehdwq, "ALLOC_SIZE", 0},    {StructureId::kTunehdwq, "AVAIL_SIZE", 4},
      {StructureId::kTunehdwq, "FRAME_SIZE", 8},    {StructureId::kTunehdwq, "MAX_OBJCTS", 12},
      {StructureId::kTunehdwq, "HASH_WIDTH", 16},   {StructureId::kTunehdwq, "CUT_VALUE", 20},
      {StructureId::kTunehdwq, "ACT_OBJCTS", 24},   {StructureId::kTunehdwq, "CON_OBJCTS", 28},
      {StructureId::kTunehdwq, "USED_SPACE", 32},   {StructureId::kTunehdwq, "MAX_FRMES", 36},
      {StructureId::kTunehdwq, "ALLOC_FRMS", 40},   {StructureId::kTunehdwq, "REQUEST", 44},
      {StructureId::kTunehdwq, "HIT", 48},          {StructureId::kTunehdwq, "OBJ_N_FND", 52},
      {StructureId::kTunehdwq, "INSERT", 56},       {StructureId::kTunehdwq, "UPDATE", 60},
      {StructureId::kTunehdwq, "REQ_DELETE", 64},   {StructureId::kTunehdwq, "DELETE", 68},
      {StructureId::kTunehdwq, "FREE_OBJCT", 72},   {StructureId::kTunehdwq, "DB_ACCESS", 76},
      {StructureId::kTunehdwq, "DB_ACC_SVD", 80},   {StructureId::kTunehdwq, "REORG", 84},
      {StructureId::kTunehdwq, "SWAP", 88},         {StructureId::kTunehdwq, "SWAP_FRAME", 92},
      {StructureId::kTunehdwq, "SEARCH", 96},       {StructureId::kTunehdwq, "SEARCH_INS", 100},
      {StructureId::kTunehdwq, "SUM_SIZE", 104},    {StructureId::kTunehdwq, "SUM_SIZE2", 108},
      {StructureId::kTunehdwq, "MAX_SIZE", 112},    {StructureId::kTunehdwq, "MIN_SIZE", 116},
      {StructureId::kTunehdwq, "REFRESH", 120},     {StructureId::kTunehdwq, "SIZE_UNIT", 124},
      {StructureId::kTunehdwq, "RESERVE", 128},     {StructureId::kTunehdwq, "ALLOC", 132},
      {StructureId::kTunehdwq, "SMODE", 133},       {StructureId::kTunehdwq, "UP_TIME", 134},
      {StructureId::kTunehdwq, "LAST_REFR", 148},   {StructureId::kTunehdwq, "NAME", 162},
      {StructureId::kTunehdwq, "HITRATIO", 167},    {StructureId::kTunehdwq, "DB_QUALITY", 171},
      {StructureId::kCcstats, "WRKPROCESS", 0},     {StructureId::kCcstats, "SI_MAX", 4},
      {StructureId::kCcstats, "SI_REQUEST", 8},     {StructureId::kCcstats, "SI_FOUNDS", 12},
      {StructureId::kCcstats, "SI_INSERTS", 16},    {StructureId::kCcstats, "SI_DELETES", 20},
      {StructureId::kCcstats, "SI0_REQ", 24},       {StructureId::kCcstats, "S_MAX", 28},
      {StructureId::kCcstats, "S_REQUEST", 32},     {StructureId::kCcstats, "S_FOUNDS", 36},
      {StructureId::kCcstats, "S_INSERTS", 40},     {StructureId::kCcstats, "S_DELETES", 44},
      {StructureId::kCcstats, "S_REPARSES", 48},    {StructureId::kCcstats, "WP_ITYPE", 52},
      {StructureId::kCcstats, "WP_PID", 53},        {StructureId::kEmcontext, "SRVNAME", 0},
      {StructureId::kEmcontext, "HANDLE", 20},      {StructureId::kEmcontext, "ROLLKEY", 24},
      {StructureId::kEmcontext, "ROLLINFO", 40},    {StructureId::kEmcontext, "ATTACHED", 56},
      {StructureId::kEmcontext, "WPID", 60},        {StructureId::kEmcontext, "ACTIMODE", 64},
      {StructureId::kEmcontext, "MEMSUMKB", 68},    {StructureId::kEmcontext, "PRIVSUMKB", 72},
      {StructureId::kEmcontext, "PRIVTIME", 76},    {StructureId::kEmcontext, "TCODE", 82},
      {StructureId::kEmcontext, "USEKB", 104},      {StructureId::kEmcontext, "MAXKB", 108},
      {StructureId::kEmcontext, "MAXDIAKB", 112},   {StructureId::kEmcontext, "STACKMODKB", 116},
      {StructureId::kEmcontext, "USGLOBALKB", 120}, {StructureId::kEmcontext, "USEHYPERKB", 124},
      {StructureId::kEmcontext, "MEMOFREEMB", 128}, {StructureId::kMemmodetab, "ROLLKEY", 0},
      {StructureId::kMemmodetab, "NAME", 16},       {StructureId::kMemmodetab, "ATTACHED", 32},
      {StructureId::kMemmodetab, "IMODE", 36},      {StructureId::kMemmodetab, "MEMSUM", 40},
      {StructureId::kMemmodetab, "PRIVSUM", 44},    {StructureId::kMemmodetab, "I0", 48},
      {StructureId::kMemmodetab, "I1", 52},         {StructureId::kMemmodetab, "I2", 56},
      {StructureId::kMemmodetab, "I3", 60},         {StructureId::kMemmodetab, "I4", 64},
      {StructureId::kMemmodetab, "I5", 68},         {StructureId::kMemmodetab, "I6", 72},
      {StructureId::kMemmodetab, "I7", 76},         {StructureId::kMemmodetab, "I8", 80},
      {StructureId::kMemmodetab, "I9", 84},         {StructureId::kMemmodetab, "IMODEG", 88},
      {StructureId::kMemmodetab, "EMODEG", 92},     {StructureId::kTabbufqual, "TNAME", 0},
      {StructureId::kTabbufqual, "Q_DIRECTRD", 30}, {StructureId::kTabbufqual, "Q_SEQRD", 36},
      {StructureId::kTabbufqual, "Q_TOTAL", 42},    {StructureId::kDbstatdec, "UPDCNT", 0},
      {StructureId::kDbstatdec, "UPDFAIL", 7},      {StructureId::kDbstatdec, "DELCNT", 14},
      {StructureId::kDbstatdec, "DELFAIL", 21},     {StructureId::kDbstatdec, "INSCNT", 28},
      {StructureId::kDbstatdec, "INSFAIL", 35},     {StructureId::kDbstatdec, "DIRCNT", 42},
      {StructureId::kDbstatdec, "DIRFAIL", 49},     {StructureId::kDbstatdec, "SEQCNT", 56},
      {StructureId::kDbstatdec, "SEQFAIL", 63},     {StructureId::kDbstatdec, "UPD_PREP", 70},
      {StructureId::kDbstatdec, "UPD_EXEC", 77},    {StructureId::kDbstatdec, "UPD_ROW", 84},
      {StructureId::kDbstatdec, "UPD_DUR", 91},     {StructureId::kDbstatdec, "DEL_PREP", 98},
      {StructureId::kDbstatdec, "DEL_EXEC", 105},   {StructureId::kDbstatdec, "DEL_ROW", 112},
      {StructureId::kDbstatdec, "DEL_DUR", 119},    {StructureId::kDbstatdec, "INS_PREP", 126},
      {StructureId::kDbstatdec, "INS_EXEC", 133},   {StructureId::kDbstatdec, "INS_ROW", 140},
      {StructureId::kDbstatdec, "INS_DUR", 147},    {StructureId::kDbstatdec, "DIR_PREP", 154},
      {StructureId::kDbstatdec, "DIR_OPEN", 161},   {StructureId::kDbstatdec, "DIR_FETCH", 168},
      {StructureId::kDbstatdec, "DIR_DUR", 175},    {StructureId::kDbstatdec, "SEQ_PREP", 182},
      {StructureId::kDbstatdec, "SEQ_OPEN", 189},   {StructureId::kDbstatdec, "SEQ_FETCH", 196},
      {StructureId::kDbstatdec, "SEQ_ROW", 203},    {StructureId::kDbstatdec, "SEQ_DUR", 210},
      {StructureId::kDbstatdec, "LOAD_PREP", 217},  {StructureId::kDbstatdec, "LOAD_OPEN", 224},
      {StructureId::kDbstatdec, "LOAD_FETCH", 231}, {StructureId::kDbstatdec, "LOAD_ROW", 238},
      {StructureId::kDbstatdec, "LOAD_DUR", 245},   {StructureId::kDbstatdec, "BUF_RESET", 252},
      {StructureId::kDbstatdec, "BUF_SIZE", 259},   {StructureId::kDbstatdec, "BUF_SIZEMX", 266},
      {StructureId::kDbstatdec, "BUF_RECS", 273},   {StructureId::kDbstatdec, "BUF_RECSMX", 280},
      {StructureId::kDbstatdec, "BUF_DIR", 287},    {StructureId::kDbstatdec, "BUF_SEQ", 294},
      {StructureId::kDbstatdec, "REGIONS_N", 301},  {StructureId::kDbstatdec, "SEQ_SCAN", 308},
      {StructureId::kDbstatdec, "TNAME", 315},      {StructureId::kDbstatdec, "REF", 345},
      {StructureId::kDbstatdec, "RNAME", 346},      {StructureId::kDbstatdec, "BUF", 376},
      {StructureId::kDbstatdec, "SQL", 377},        {StructureId::kDbstatdec, "BUF_STATE", 378},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FieldOffset(c.structure, c.field), c.offset) << StructureOf(c.structure).name << "-" << c.field;
}

TEST(Structures, RowLengthsAndPadding) {
  unsigned expected[] = {40, 24, 24, 36, 32, 8, 108, 21, 16, 12, 5, 176, 64, 132, 96, 48, 379};
  for (std::size_t i = 0; i < kStructureCount; ++i) {
    EXPECT_EQ(ComputedRowLength(kStructures[i]), expected[i]) << kStructures[i].name;
    EXPECT_EQ(kStructures[i].row_length, expected[i]) << kStructures[i].name;
  }
  // TUNEHDWQ and CCSTATS end with padding; EMCONTEXT has two bytes inside.
  EXPECT_EQ(FieldOffset(StructureId::kTunehdwq, "DB_QUALITY") + 4, 175u);
  EXPECT_EQ(FieldOffset(StructureId::kCcstats, "WP_PID") + 8, 61u);
  EXPECT_EQ(FieldOffset(StructureId::kEmcontext, "TCODE") + 20, 102u);
}

}  // namespace
}  // namespace poolmetrics
