// textcodec
