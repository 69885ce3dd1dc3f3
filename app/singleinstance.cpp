// singleinstance
