#include "document/tag_tables.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

// The tables are laid out in columns by hand.
// clang-format off
const DumpFieldType kFieldTypes[] = {
    {"no type", 0, 0},  {"int8", 1, 0},    {"string", 1, 0},  {"int16", 2, 0},   {"int32", 4, 0},
    {"rational", 8, 0}, {"s.int8", 1, 1},  {"octets", 1, 0},  {"s.int16", 2, 1}, {"s.int32", 4, 1},
    {"s.rtnl", 8, 1},   {"float32", 4, 0}, {"float64", 8, 0}, {"IFD32", 4, 0},   {"unicode", 1, 0},
    {"complex", 8, 0},  {"int64", 8, 0},   {"s.int64", 8, 1}, {"IFD64", 8, 0},
};

struct CodeName {
  uint32_t code;
  const char* name;
};

const CodeName kCompressions[] = {
    {1, "none"},           {2, "Huffman RLE"},      {3, "Fax3"},           {4, "Fax4"},
    {5, "LZW"},            {6, "Old JPEG"},         {7, "JPEG"},           {8, "Deflate"},
    {32766, "NeXT RLE"},   {32771, "CCITTRLEW"},    {32773, "Packbits"},   {32809, "ThunderScan"},
    {32895, "IT8CTPAD"},   {32896, "IT8LW"},        {32897, "IT8MP"},      {32898, "IT8BL"},
    {32908, "PIXARFILM"},  {32909, "PIXARLOG"},     {32946, "Deflate (libtiff)"}, {32947, "Kodak DCS"},
    {34661, "JBIG"},       {34676, "SGILOG"},       {34677, "SGILOG24"},   {34712, "JPEG2000"},
    {34718, "MODI_BLC"},   {34719, "MODI_VECTOR"},  {34720, "MODI_PTC"},   {34892, "Lossy JPEG (DNG)"},
};

const CodeName kPhotometrics[] = {
    {0, "min-is-white"},      {1, "min-is-black"},           {2, "RGB"},
    {3, "palette"},           {4, "transparency mask"},      {5, "color-separated (CMYK)"},
    {6, "YCbCr"},             {8, "CIE L*a*b*"},             {9, "ICC L*a*b*"},
    {10, "ITU L*a*b*"},       {32803, "CFA (DNG)"},          {32844, "CIE Log2(L)"},
    {32845, "CIE Log2(L) (u',v')"}, {34892, "LinearRaw (DNG)"},
};

const TagNameRow kTagNames[] = {
    {1, "E:InteroperabilityIndex"}, {2, "E:InteroperabilityVersion"}, {254, "T:SubFileType"},
    {255, "T:OldSubFileType"}, {256, "T:ImageWidth"}, {257, "T:ImageLength"}, {258, "T:BitsPerSample"},
    {259, "T:Compression"}, {262, "T:Photometric"}, {263, "T:Threshholding"}, {264, "T:CellWidth"},
    {265, "T:CellLength"}, {266, "T:FillOrder"}, {269, "T:DocumentName"}, {270, "T:ImageDescription"},
    {271, "T:Make"}, {272, "T:Model"}, {273, "T:StripOffsets"}, {274, "T:Orientation"},
    {277, "T:SamplesPerPixel"}, {278, "T:RowsPerStrip"}, {279, "T:StripByteCounts"}, {280, "T:MinSampleValue"},
    {281, "T:MaxSampleValue"}, {282, "T:XResolution"}, {283, "T:YResolution"}, {284, "T:PlanarConfig"},
    {285, "T:PageName"}, {286, "T:XPosition"}, {287, "T:YPosition"}, {288, "T:FreeOffsets"},
    {289, "T:FreeByteCounts"}, {290, "T:GrayResponseUnit"}, {291, "T:GrayResponseCurve"},
    {292, "T:Group3Options"}, {293, "T:Group4Options"}, {296, "T:ResolutionUnit"}, {297, "T:PageNumber"},
    {300, "T:ColorResponseUnit"}, {301, "T:TransferFunction"}, {305, "T:Software"}, {306, "T:DateTime"},
    {315, "T:Artist"}, {316, "T:HostComputer"}, {317, "T:LZW predictor"}, {318, "T:Whitepoint"},
    {319, "T:PrimaryChromaticities"}, {320, "T:Colormap"}, {321, "T:HalftoneHints"}, {322, "T:TileWidth"},
    {323, "T:TileLength"}, {324, "T:TileOffsets"}, {325, "T:TileByteCounts"}, {326, "T:BadFaxLines"},
    {327, "T:CleanFaxData"}, {328, "T:ConsecutiveBadFaxLines"}, {330, "T:SubIFD"}, {332, "T:InkSet"},
    {333, "T:InkNames"}, {334, "T:NumberOfInks"}, {336, "T:DotRange"}, {337, "T:TargetPrinter"},
    {338, "T:ExtraSamples"}, {339, "T:SampleFormat"}, {340, "T:SMinSampleValue"}, {341, "T:SMaxSampleValue"},
    {343, "T:ClipPath"}, {344, "T:XClipPathUnits"}, {345, "T:YClipPathUnits"}, {346, "T:Indexed"},
    {347, "T:JPEG table stream"}, {351, "T:OPI Proxy"}, {400, "T:GlobalParametersIFD"}, {401, "T:ProfileType"},
    {402, "T:FaxProfile"}, {403, "T:CodingMethods"}, {404, "T:VersionYear"}, {405, "T:ModeNumber"},
    {433, "T:Decode"}, {434, "T:DefaultImageColor"}, {512, "T:JPEGProcessingMode"},
    {513, "T:JPEGInterchangeFormat"}, {514, "T:JPEGInterchangeFormatLength"}, {515, "T:JPEGRestartInterval"},
    {517, "T:JPEGLosslessPredictors"}, {518, "T:JPEGPointTransform"}, {519, "T:JPEGQTables"},
    {520, "T:JPEGDCTables"}, {521, "T:JPEGACTables"}, {529, "T:YCbCrCoefficients"},
    {530, "T:YCbCrSubsampling"}, {531, "T:YCbCrPositioning"}, {532, "T:ReferenceBlackWhite"},
    {559, "T:StripRowCounts"}, {700, "T:XML packet"}, {4096, "E:RelatedImageFileFormat"},
    {4097, "E:RelatedImageWidth"}, {4098, "E:RelatedImageLength"}, {18246, "E:Rating (Microsoft)"},
    {18249, "E:RatingPercent (Microsoft)"}, {32781, "T:OPI ImageID"}, {32932, "T:Annotation Data (Wang)"},
    {32934, "T:PageControl (Wang)"}, {32953, "T:IgReferencePoints (Island Graphics)"},
    {32954, "T:IgRegionTackPoint (Island Graphics)"}, {32955, "T:IgRegionWarpCorners (Island Graphics)"},
    {32956, "T:IgRegionAffine (Island Graphics)"}, {32995, "T:OBSOLETE Matteing (Silicon Graphics)"},
    {32996, "T:OBSOLETE DataType (Silicon Graphics)"}, {32997, "T:ImageDepth (Silicon Graphics)"},
    {32998, "T:TileDepth (Silicon Graphics)"}, {33300, "T:full image size in x (Pixar)"},
    {33301, "T:full image size in y (Pixar)"}, {33302, "T:texture map format (Pixar)"},
    {33303, "T:s & t wrap modes (Pixar)"}, {33304, "T:cotan(fov) for env. maps (Pixar)"},
    {33305, "T:PIXAR_MATRIX_WORLDTOSCREEN"}, {33306, "T:PIXAR_MATRIX_WORLDTOCAMERA"},
    {33405, "T:device serial number (Eastman Kodak)"}, {33421, "T:CFARepeatPatternDim (TIFF/EP)"},
    {33422, "T:CFAPattern (TIFF/EP)"}, {33423, "T:BatteryLevel (TIFF/EP)"}, {33432, "T:Copyright"},
    {33434, "E:ExposureTime"}, {33437, "E:FNumber"}, {33550, "T:ModelPixelScaleTag"},
    {33723, "T:IPTC metadata"}, {33918, "T:INGR Packet Data Tag"}, {33919, "T:INGR Flag Registers"},
    {33920, "T:IrasB Transformation Matrix"}, {33922, "T:ModelTiepointTag"}, {34016, "T:site name (IT8)"},
    {34017, "T:color seq. [RGB,CMYK,etc] (IT8)"}, {34018, "T:DDES Header (IT8)"},
    {34019, "T:raster scanline padding (IT8)"}, {34020, "T:# of bits in short run (IT8)"},
    {34021, "T:# of bits in long run (IT8)"}, {34022, "T:LW colortable (IT8)"},
    {34023, "T:BP/BL image color switch (IT8)"}, {34024, "T:BP/BL bg color switch (IT8)"},
    {34025, "T:BP/BL image color value (IT8)"}, {34026, "T:BP/BL bg color value (IT8)"},
    {34027, "T:MP pixel intensity value (IT8)"}, {34028, "T:HC transparency switch (IT8)"},
    {34029, "T:color character. table (IT8)"}, {34030, "T:HC usage indicator (IT8)"},
    {34031, "T:Trapping indicator (IT8)"}, {34032, "T:CMYK color equivalents (IT8)"},
    {34232, "T:Sequence Frame Count (Texas Instruments)"}, {34264, "T:ModelTransformationTag"},
    {34377, "T:Photoshop"}, {34665, "T:Exif IFD"}, {34675, "T:ICC Profile"}, {34732, "T:ImageLayer"},
    {34735, "T:GeoKeyDirectoryTag"}, {34736, "T:GeoDoubleParamsTag"}, {34737, "T:GeoAsciiParamsTag"},
    {34750, "T:JBIG Options (Pixel Magic)"}, {34850, "E:ExposureProgram"}, {34852, "E:SpectralSensitivity"},
    {34853, "T:Exif GPS Info IFD"}, {34855, "E:ISOSpeedRatings"}, {34856, "E:OECF"},
    {34857, "T:Interlace (TIFF/EP)"}, {34858, "T:TimeZoneOffset (TIFF/EP)"},
    {34859, "T:SelfTimerMode (TIFF/EP)"}, {34864, "E:SensitivityType"}, {34865, "E:StandardOutputSensitivity"},
    {34866, "E:RecommendedExposureIndex"}, {34867, "E:ISOSpeed"}, {34868, "E:ISOSpeedLatitudeyyy"},
    {34869, "E:ISOSpeedLatitudezzz"}, {34908, "T:encoded Class 2 ses. parms (SGI)"},
    {34909, "T:received SubAddr string (SGI)"}, {34910, "T:receive time (secs) (SGI)"},
    {34911, "T:FAXDCS (SGI)"}, {34929, "T:FEDEX_EDR (FedEx)"}, {36864, "E:ExifVersion"},
    {36867, "E:DateTimeOriginal"}, {36868, "E:DateTimeDigitized"}, {37121, "E:ComponentsConfiguration"},
    {37122, "E:CompressedBitsPerPixel"}, {37377, "E:ShutterSpeedValue"}, {37378, "E:ApertureValue"},
    {37379, "E:BrightnessValue"}, {37380, "E:ExposureBiasValue"}, {37381, "E:MaxApertureValue"},
    {37382, "E:SubjectDistance"}, {37383, "E:MeteringMode"}, {37384, "E:LightSource"},
    {37385, "E:FlashTiffTag"}, {37386, "E:FocalLength"}, {37387, "T:FlashEnergy (TIFF/EP)"},
    {37388, "T:SpatialFrequencyResponse (TIFF/EP)"}, {37389, "T:Noise (TIFF/EP)"},
    {37390, "T:FocalPlaneXResolution (TIFF/EP)"}, {37391, "T:FocalPlaneYResolution (TIFF/EP)"},
    {37392, "T:FocalPlaneResolutionUnit (TIFF/EP)"}, {37393, "T:ImageNumber (TIFF/EP)"},
    {37394, "T:SecurityClassification (TIFF/EP)"}, {37395, "T:ImageHistory (TIFF/EP)"},
    {37396, "E:SubjectArea"}, {37397, "T:ExposureIndex (TIFF/EP)"}, {37398, "T:TIFF/EPStandardID"},
    {37399, "T:SensingMethod (TIFF/EP)"}, {37439, "T:Sample value to Nits (SGI)"}, {37500, "E:MakerNote"},
    {37510, "E:UserComment"}, {37520, "E:SubsecTime"}, {37521, "E:SubsecTimeOriginal"},
    {37522, "E:SubsecTimeDigitized"}, {37679, "T:OCR text (Microsoft)"}, {37680, "T:? (Microsoft)"},
    {37681, "T:? (Microsoft)"}, {37724, "T:ImageSourceData"}, {40091, "E:Title (Microsoft)"},
    {40092, "E:Comment (Microsoft)"}, {40093, "E:Author (Microsoft)"}, {40094, "E:Keywords (Microsoft)"},
    {40095, "E:Subject (Microsoft)"}, {40960, "E:FlashPixVersion"}, {40961, "E:ColorSpace"},
    {40962, "E:PixelXDimension"}, {40963, "E:PixelYDimension"}, {40964, "E:RelatedSoundFile"},
    {40965, "T:Exif Interoperability IFD"}, {41483, "E:FlashEnergy"}, {41484, "E:SpatialFrequencyResponse"},
    {41486, "E:FocalPlaneXResolution"}, {41487, "E:FocalPlaneYResolution"},
    {41488, "E:FocalPlaneResolutionUnit"}, {41492, "E:SubjectLocation"}, {41493, "E:ExposureIndex"},
    {41495, "E:SensingMethod"}, {41728, "E:FileSource"}, {41729, "E:SceneType"}, {41730, "E:CFAPattern"},
    {41985, "E:CustomRendered"}, {41986, "E:ExposureMode"}, {41987, "E:WhiteBalance"},
    {41988, "E:DigitalZoomRatio"}, {41989, "E:FocalLengthIn35mmFilm"}, {41990, "E:SceneCaptureType"},
    {41991, "E:GainControl"}, {41992, "E:Contrast"}, {41993, "E:Saturation"}, {41994, "E:Sharpness"},
    {41995, "E:DeviceSettingDescription"}, {41996, "E:SubjectDistanceRange"}, {42016, "E:ImageUniqueID"},
    {42032, "E:CameraOwnerName"}, {42033, "E:BodySerialNumber"}, {42034, "E:LensSpecification"},
    {42035, "E:LensMake"}, {42036, "E:LensModel"}, {42037, "E:LensSerialNumber"}, {42112, "T:GDAL_METADATA"},
    {42113, "T:GDAL_NODATA"}, {42240, "E:Gamma"}, {50215, "T:Oce Scanjob Description"},
    {50216, "T:Oce Application Selector"}, {50217, "T:Oce Identification Number"},
    {50218, "T:Oce ImageLogic Characteristics"}, {50706, "T:DNGVersion"}, {50707, "T:DNGBackwardVersion"},
    {50708, "T:UniqueCameraModel (DNG)"}, {50709, "T:LocalizedCameraModel (DNG)"},
    {50710, "T:CFAPlaneColor (DNG)"}, {50711, "T:CFALayout (DNG)"}, {50712, "T:LinearizationTable (DNG)"},
    {50713, "T:BlackLevelRepeatDim (DNG)"}, {50714, "T:BlackLevel (DNG)"}, {50715, "T:BlackLevelDeltaH (DNG)"},
    {50716, "T:BlackLevelDeltaV (DNG)"}, {50717, "T:WhiteLevel (DNG)"}, {50718, "T:DefaultScale (DNG)"},
    {50719, "T:DefaultCropOrigin (DNG)"}, {50720, "T:DefaultCropSize (DNG)"}, {50721, "T:ColorMatrix1 (DNG)"},
    {50722, "T:ColorMatrix2 (DNG)"}, {50723, "T:CameraCalibration1 (DNG)"},
    {50724, "T:CameraCalibration2 (DNG)"}, {50725, "T:ReductionMatrix1 (DNG)"},
    {50726, "T:ReductionMatrix2 (DNG)"}, {50727, "T:AnalogBalance (DNG)"}, {50728, "T:AsShotNeutral (DNG)"},
    {50729, "T:AsShotWhiteXY (DNG)"}, {50730, "T:BaselineExposure (DNG)"}, {50731, "T:BaselineNoise (DNG)"},
    {50732, "T:BaselineSharpness (DNG)"}, {50733, "T:BayerGreenSplit (DNG)"},
    {50734, "T:LinearResponseLimit (DNG)"}, {50735, "T:CameraSerialNumber (DNG)"}, {50736, "T:LensInfo (DNG)"},
    {50737, "T:ChromaBlurRadius (DNG)"}, {50738, "T:AntiAliasStrength (DNG)"}, {50739, "T:ShadowScale (DNG)"},
    {50740, "T:DNGPrivateData"}, {50741, "T:MakerNoteSafety (DNG)"}, {50778, "T:CalibrationIlluminant1 (DNG)"},
    {50779, "T:CalibrationIlluminant2 (DNG)"}, {50780, "T:BestQualityScale (DNG)"},
    {50781, "T:RawDataUniqueID (DNG)"}, {50784, "T:Alias Layer Metadata"},
    {50827, "T:OriginalRawFileName (DNG)"}, {50828, "T:OriginalRawFileData (DNG)"},
    {50829, "T:ActiveArea (DNG)"}, {50830, "T:MaskedAreas (DNG)"}, {50831, "T:AsShotICCProfile (DNG)"},
    {50832, "T:AsShotPreProfileMatrix (DNG)"}, {50833, "T:CurrentICCProfile (DNG)"},
    {50834, "T:CurrentPreProfileMatrix (DNG)"}, {50879, "T:ColorimetricReference (DNG)"},
    {50931, "T:CameraCalibrationSignature (DNG)"}, {50932, "T:ProfileCalibrationSignature (DNG)"},
    {50933, "T:ExtraCameraProfiles (DNG)"}, {50934, "T:AsShotProfileName (DNG)"},
    {50935, "T:NoiseReductionApplied (DNG)"}, {50936, "T:ProfileName (DNG)"},
    {50937, "T:ProfileHueSatMapDims (DNG)"}, {50938, "T:ProfileHueSatMapData1 (DNG)"},
    {50939, "T:ProfileHueSatMapData2 (DNG)"}, {50940, "T:ProfileToneCurve (DNG)"},
    {50941, "T:ProfileEmbedPolicy (DNG)"}, {50942, "T:ProfileCopyright (DNG)"},
    {50964, "T:ForwardMatrix1 (DNG)"}, {50965, "T:ForwardMatrix2 (DNG)"},
    {50966, "T:PreviewApplicationName (DNG)"}, {50967, "T:PreviewApplicationVersion (DNG)"},
    {50968, "T:PreviewSettingsName (DNG)"}, {50969, "T:PreviewSettingsDigest (DNG)"},
    {50970, "T:PreviewColorSpace (DNG)"}, {50971, "T:PreviewDateTime (DNG)"},
    {50972, "T:RawImageDigest (DNG)"}, {50973, "T:OriginalRawFileDigest (DNG)"},
    {50974, "T:SubTileBlockSize (DNG)"}, {50975, "T:RowInterleaveFactor (DNG)"},
    {50981, "T:ProfileLookTableDims (DNG)"}, {50982, "T:ProfileLookTableData (DNG)"},
    {51008, "T:OpcodeList1 (DNG)"}, {51009, "T:OpcodeList2 (DNG)"}, {51022, "T:OpcodeList3 (DNG)"},
    {51041, "T:NoiseProfile (DNG)"}, {51089, "T:OriginalDefaultFinalSize (DNG)"},
    {51090, "T:OriginalBestQualityFinalSize (DNG)"}, {51091, "T:OriginalDefaultCropSize (DNG)"},
    {51107, "T:ProfileHueSatMapEncoding (DNG)"}, {51108, "T:ProfileLookTableEncoding (DNG)"},
    {51109, "T:BaselineExposureOffset (DNG)"}, {51110, "T:DefaultBlackRender (DNG)"},
    {51111, "T:NewRawImageDigest (DNG)"}, {51112, "T:RawToPreviewGain (DNG)"},
    {51125, "T:DefaultUserCrop (DNG)"},
    {0, nullptr},
};

// Meanings of single values, grouped by tag in ascending order of tag.
struct ValueRow {
  uint32_t tag;
  uint32_t value;
  const char* meaning;
};

// The highest tag with a row below.
constexpr uint32_t kLastTagWithMeanings = 531;

const ValueRow kValueMeanings[] = {
    {255, 1, "full-res-version"}, {255, 2, "reduced-res-version"}, {255, 3, "one-page-of-many"},
    {263, 1, "no dithering"}, {263, 2, "ordered dither"}, {263, 3, "error diffusion"},
    {266, 1, "msb-to-lsb"}, {266, 2, "lsb-to-msb"},
    {274, 1, "top-left"}, {274, 2, "top-right"}, {274, 3, "bottom-right"}, {274, 4, "bottom-left"},
    {274, 5, "left-top"}, {274, 6, "right-top"}, {274, 7, "right-bottom"}, {274, 8, "left-bottom"},
    {284, 1, "contiguous"}, {284, 2, "separate"},
    {290, 1, "10ths"}, {290, 2, "100ths"}, {290, 3, "1000ths"}, {290, 4, "10,000ths"}, {290, 5, "100,000ths"},
    {296, 1, "unspecified"}, {296, 2, "pixels/inch"}, {296, 3, "pixels/cm"},
    {317, 1, "none"}, {317, 2, "horizontal differencing"},
    {332, 1, "CMYK"}, {332, 2, "not CMYK"},
    {338, 0, "unspecified"}, {338, 1, "associated alpha"}, {338, 2, "unassociated alpha"},
    {339, 1, "unsigned integer"}, {339, 2, "signed integer"}, {339, 3, "floating point"}, {339, 4, "undefined"},
    {512, 1, "baseline sequential process"}, {512, 14, "lossless process with Huffman coding"},
    {531, 1, "centered"}, {531, 2, "cosited"},
};

// clang-format on

const char* const kSubfileTypeBits[] = {"reduced-res-version", "one-page-of-many", "transparency-mask"};

template <size_t N>
const char* NameOfCode(const CodeName (&rows)[N], uint32_t code) {
  for (const CodeName& row : rows) {
    if (row.code == code) return row.name;
  }
  return "Unknown";
}

}  // namespace

const DumpFieldType* DumpFieldTypeOf(uint32_t type) {
  return type < std::size(kFieldTypes) ? &kFieldTypes[type] : nullptr;
}

const char* DumpCompressionName(uint32_t code) { return NameOfCode(kCompressions, code); }

const char* DumpPhotometricName(uint32_t code) { return NameOfCode(kPhotometrics, code); }

const TagNameRow* TagNameRows() { return kTagNames; }

const char* StoredTagName(uint32_t tag) {
  const TagNameRow* end = kTagNames + std::size(kTagNames) - 1;
  const TagNameRow* row =
      std::lower_bound(kTagNames, end, tag, [](const TagNameRow& r, uint32_t t) { return r.tag < t; });
  return row != end && row->tag == tag ? row->name : nullptr;
}

void ShownTagName(uint32_t tag, char kind, char* out, size_t size) {
  // Called for every entry of a dump: plain copies, no formatting.
  const char* stored = StoredTagName(tag);
  const char* prefix = stored && stored[0] == 'E' ? "Exif:" : "";
  const char* name = stored                         ? stored + 2
                     : kind == 'E' || tag < 32768   ? "Unknown tag"
                     : tag >= 65000 && tag <= 65535 ? "Reusable tag"
                                                    : "Unk. private tag";
  size_t used = 0;
  for (const char* part : {prefix, name}) {
    for (; *part && used + 1 < size; ++part) out[used++] = *part;
  }
  if (size) out[used] = 0;
}

void ValueMeaning(uint32_t tag, uint64_t value, char* out, size_t size) {
  out[0] = 0;
  // Most values belong to tags without meanings: answered before any search.
  if (tag < kDumpTagSubfileType || tag > kLastTagWithMeanings) return;
  if (tag == kDumpTagSubfileType) {
    // A set of flags: every known bit is named, the first after a colon.
    size_t used = 0;
    for (size_t bit = 0; bit < std::size(kSubfileTypeBits) && used < size; ++bit) {
      if (value & (uint64_t{1} << bit)) {
        int n = snprintf(out + used, size - used, "%c%s", used ? ',' : ':', kSubfileTypeBits[bit]);
        if (n > 0) used += static_cast<size_t>(n);
      }
    }
    return;
  }
  if (tag == kDumpTagCompression || tag == kDumpTagPhotometric) {
    uint32_t code = value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
    snprintf(out, size, ":%s",
             tag == kDumpTagCompression ? DumpCompressionName(code) : DumpPhotometricName(code));
    return;
  }
  bool tagHasMeanings = false;
  for (const ValueRow& row : kValueMeanings) {
    if (row.tag != tag) continue;
    tagHasMeanings = true;
    if (row.value == value) {
      snprintf(out, size, ":%s", row.meaning);
      return;
    }
  }
  if (tagHasMeanings) snprintf(out, size, ":unknown");
}
