#pragma once

namespace tw {

// ADO data type codes of the field types the drivers report.
namespace AdoType {
inline constexpr int Empty = 0;
inline constexpr int SmallInt = 2;
inline constexpr int Integer = 3;
inline constexpr int Single = 4;
inline constexpr int Double = 5;
inline constexpr int Boolean = 11;
inline constexpr int TinyInt = 16;
inline constexpr int UnsignedTinyInt = 17;
inline constexpr int UnsignedSmallInt = 18;
inline constexpr int UnsignedInt = 19;
inline constexpr int BigInt = 20;
inline constexpr int UnsignedBigInt = 21;
inline constexpr int Guid = 72;
inline constexpr int Binary = 128;
inline constexpr int Char = 129;
inline constexpr int WChar = 130;
inline constexpr int Numeric = 131;
inline constexpr int DBDate = 133;
inline constexpr int DBTime = 134;
inline constexpr int DBTimeStamp = 135;
inline constexpr int VarChar = 200;
inline constexpr int LongVarChar = 201;
inline constexpr int VarWChar = 202;
inline constexpr int LongVarWChar = 203;
inline constexpr int VarBinary = 204;
inline constexpr int LongVarBinary = 205;
}  // namespace AdoType

}  // namespace tw
