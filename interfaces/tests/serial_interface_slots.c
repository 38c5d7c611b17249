/* The method slots of the serial components' vtable interfaces, as every
 * binary that calls them counts them: slot n is the n-th method after the
 * three of IUnknown. Compiled in C, where the headers spell out each
 * vtable; a method out of place stops the build. */
#include <stddef.h>

#include "CRCGenerator_h.h"
#include "CommServer_h.h"
#include "PacketCodec_h.h"

#define SLOT(interface, method, n) \
  _Static_assert(offsetof(interface##Vtbl, method) == (n + 2) * sizeof(void*), #interface "::" #method " slot")

SLOT(ICommServerConstructor, GetCommServer, 1);
SLOT(ICommServerConstructor, EnumPorts, 2);
SLOT(ICommServerConstructor, CreateInProcessComponent, 3);
SLOT(ICommServerConstructor, GetCommServerEx, 4);
_Static_assert(sizeof(ICommServerConstructorVtbl) == 7 * sizeof(void*), "ICommServerConstructor size");

SLOT(IRasperGIT, RegisterInterface, 1);
SLOT(IRasperGIT, RevokeInterface, 2);
SLOT(IRasperGIT, GetInterface, 3);
_Static_assert(sizeof(IRasperGITVtbl) == 6 * sizeof(void*), "IRasperGIT size");

SLOT(ICommServer, get_PortName, 1);
SLOT(ICommServer, RequestConversation, 2);
SLOT(ICommServer, RegisterClient, 3);
SLOT(ICommServer, UnregisterClient, 4);
SLOT(ICommServer, get_Encoder, 5);
SLOT(ICommServer, put_Encoder, 6);
SLOT(ICommServer, get_Decoder, 7);
SLOT(ICommServer, put_Decoder, 8);
SLOT(ICommServer, get_CRCGenerator, 9);
SLOT(ICommServer, put_CRCGenerator, 10);
SLOT(ICommServer, get_BaudRate, 11);
SLOT(ICommServer, put_BaudRate, 12);
SLOT(ICommServer, GetClient, 13);
SLOT(ICommServer, get_ConversationTimeout, 14);
SLOT(ICommServer, put_ConversationTimeout, 15);
SLOT(ICommServer, get_BytesWritten, 16);
SLOT(ICommServer, get_BytesRead, 17);
_Static_assert(sizeof(ICommServerVtbl) == 20 * sizeof(void*), "ICommServer size");

SLOT(_ICommServerEventMethods, OnBaudRateChanging, 1);
SLOT(_ICommServerEventMethods, OnBaudRateChanged, 2);
SLOT(_ICommServerEventMethods, OnConversationTimeoutChanging, 3);
SLOT(_ICommServerEventMethods, OnConversationTimeoutChanged, 4);
SLOT(_ICommServerEventMethods, OnClientRegistered, 5);
SLOT(_ICommServerEventMethods, OnClientUnregistered, 6);
_Static_assert(sizeof(_ICommServerEventMethodsVtbl) == 9 * sizeof(void*), "_ICommServerEventMethods size");

SLOT(IDataProcessor, ProcessData, 1);
SLOT(ICommClient, ProcessData, 1);
SLOT(ICommClient, OnConversationTerminated, 2);
SLOT(ICommClient, IsAlive, 3);
_Static_assert(sizeof(ICommClientVtbl) == 6 * sizeof(void*), "ICommClient size");

SLOT(IPacketEncoder, get_GrowPercent, 1);
SLOT(IPacketEncoder, put_GrowPercent, 2);
SLOT(IPacketEncoder, get_PeakSize, 3);
SLOT(IPacketEncoder, get_BufferSize, 4);
SLOT(IPacketEncoder, get_InitialSize, 5);
SLOT(IPacketEncoder, put_InitialSize, 6);
SLOT(IPacketEncoder, BeginPacket, 7);
SLOT(IPacketEncoder, AddData, 8);
SLOT(IPacketEncoder, EndPacket, 9);
SLOT(IPacketEncoder, Clone, 10);
_Static_assert(sizeof(IPacketEncoderVtbl) == 13 * sizeof(void*), "IPacketEncoder size");

SLOT(IPacketDecoder, SetCallback, 1);
SLOT(IPacketDecoder, GetCallback, 2);
SLOT(IPacketDecoder, Decode, 3);
SLOT(IPacketDecoder, get_InitialSize, 4);
SLOT(IPacketDecoder, put_InitialSize, 5);
SLOT(IPacketDecoder, get_GrowPercent, 6);
SLOT(IPacketDecoder, put_GrowPercent, 7);
SLOT(IPacketDecoder, get_PeakSize, 8);
SLOT(IPacketDecoder, get_BufferSize, 9);
SLOT(IPacketDecoder, Clone, 10);
SLOT(IPacketDecoder, Reset, 11);
_Static_assert(sizeof(IPacketDecoderVtbl) == 14 * sizeof(void*), "IPacketDecoder size");

SLOT(IPacketDecoderCallback, OnPacket, 1);
_Static_assert(sizeof(IPacketDecoderCallbackVtbl) == 4 * sizeof(void*), "IPacketDecoderCallback size");

SLOT(IEnumBYTE, Next, 1);
SLOT(IEnumBYTE, Skip, 2);
SLOT(IEnumBYTE, Reset, 3);
SLOT(IEnumBYTE, Clone, 4);
_Static_assert(sizeof(IEnumBYTEVtbl) == 7 * sizeof(void*), "IEnumBYTE size");

SLOT(ICRCGenerator, get_Valid, 1);
SLOT(ICRCGenerator, get_ByteCount, 2);
SLOT(ICRCGenerator, GetByte, 3);
SLOT(ICRCGenerator, EndGenerate, 4);
SLOT(ICRCGenerator, EndCheck, 5);
SLOT(ICRCGenerator, AddData, 6);
SLOT(ICRCGenerator, Reset, 7);
SLOT(ICRCGenerator, Clone, 8);
_Static_assert(sizeof(ICRCGeneratorVtbl) == 11 * sizeof(void*), "ICRCGenerator size");
